#include "export/ListWriter.h"

#include "core/FileSystem.h"
#include "core/TextEncoding.h"
#include "core/TextUtil.h"
#include "export/ExportSort.h"
#include "export/ExportTemplate.h"

namespace {

bool needsEscape(const QString &text)
{
    for (QChar c : text)
        if (c == QLatin1Char('&') || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('"'))
            return true;
    return false;
}

QString numberText(qsizetype number, int width, bool zeros)
{
    return zeros ? QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0')) : QString::number(number);
}

} // namespace

QString escapeHtml(const QString &text)
{
    if (!needsEscape(text))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        default: out += c;
        }
    }
    return out;
}

bool exportFilterPasses(const TSongRecord &song, const ExportOptions &options)
{
    if (!options.useFilter || options.filterText.isEmpty())
        return true;
    const QString wanted = options.filterText.toUpper();
    for (int i = 0; i < TSongRecord::kFieldCount; ++i)
        if (options.filterColumns[size_t(i)] && song.field(i).toUpper().contains(wanted))
            return true;
    return false;
}

QStringList buildExportLines(const SongList &songs, const ExportOptions &options, const QLocale &locale)
{
    const ExportTemplate compiled = ExportTemplate::compile(options.templateText);
    const auto &tokens = compiled.tokens();
    const QStringList &literals = compiled.literals();

    QStringList lines;
    lines.reserve(songs.size());
    QString line;
    for (const TSongRecord &song : songs) {
        if (!exportFilterPasses(song, options))
            continue;
        line.clear();
        for (const ExportTemplate::Token &t : tokens) {
            switch (t.kind) {
            case ExportTemplate::Kind::Number: line += kNumberMarker; break;
            case ExportTemplate::Kind::Tab: line += kTabMarker; break;
            case ExportTemplate::Kind::Literal: line += literals[t.index]; break;
            case ExportTemplate::Kind::Field:
                line += options.html ? escapeHtml(song.field(t.index)) : song.field(t.index);
                break;
            case ExportTemplate::Kind::FileName: {
                const QString name = FileSystem::fileNameOf(song.Path);
                line += options.html ? escapeHtml(name) : name;
                break;
            }
            }
        }
        lines.append(line);
    }

    const ExportSort order(locale);
    // Duplicates go while the lines are gathered, before find and replace can make lines equal.
    if (options.unique)
        order.sortUnique(lines);
    if (options.findReplace && !options.findText.isEmpty())
        for (QString &l : lines)
            if (l.contains(options.findText))
                l = ReplaceAll(l, options.findText, options.replaceText);
    if (options.sort)
        order.sort(lines);
    if (options.removeEmpty)
        lines.removeIf([](const QString &l) { return l.isEmpty() || l == kNumberMarker; });
    if (options.templateText.contains(kNumberMarker)) {
        const int width = int(QString::number(lines.size()).size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].contains(kNumberMarker))
                lines[i] = ReplaceAll(lines[i], kNumberMarker.toString(), numberText(i + 1, width, options.leadingZeros));
    }
    return lines;
}

QStringList exportOutput(const QStringList &currentOutput, const QStringList &lines, bool html, bool replaceOld)
{
    const QString tab = kTabMarker.toString();
    QStringList out;
    if (!html) {
        out.reserve(lines.size());
        for (const QString &l : lines)
            out.append(l.contains(kTabMarker) ? ReplaceAll(l, tab, QStringLiteral("\t")) : l);
        return out;
    }
    if (!replaceOld)
        out = currentOutput;
    out.reserve(out.size() + lines.size() + 2);
    out.append(QStringLiteral("<table>"));
    const QString cell = QStringLiteral("</td><td>");
    for (const QString &l : lines)
        out.append(QLatin1String("<tr><td>") + ReplaceAll(l, tab, cell) + QLatin1String("</td></tr>"));
    out.append(QStringLiteral("</table>"));
    return out;
}

QString exportFileText(const QStringList &outputLines)
{
    qsizetype size = 0;
    for (const QString &l : outputLines)
        size += l.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &l : outputLines) {
        text += l;
        text += QLatin1String("\r\n");
    }
    return text;
}

QStringList outputLinesOf(const QString &boxText)
{
    if (boxText.isEmpty())
        return {};
    QStringList lines = boxText.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString exportFileName(const QString &name, bool html)
{
    // No exception for picture names: "list.jpeg" becomes the text file "list.jpeg.txt", and a
    // picture comes from a name that already holds the suffix, such as "list.txt.jpeg".
    const QString suffix = html ? QStringLiteral(".htm") : QStringLiteral(".txt");
    return name.contains(suffix) ? name : name + suffix;
}
