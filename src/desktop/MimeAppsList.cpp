#include "desktop/MimeAppsList.h"

#include <QList>

namespace MimeAppsList {

namespace {

const QByteArray kDefaults = QByteArrayLiteral("[Default Applications]");
const QByteArray kAdded = QByteArrayLiteral("[Added Associations]");

// The text cut into lines that keep their own line ends, so that joining them gives the text
// back exactly.
QList<QByteArray> linesOf(const QByteArray &text)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        end = end < 0 ? text.size() : end + 1;
        lines.append(text.mid(start, end - start));
        start = end;
    }
    return lines;
}

QByteArray body(const QByteArray &line)
{
    QByteArray b = line;
    if (b.endsWith('\n'))
        b.chop(1);
    if (b.endsWith('\r'))
        b.chop(1);
    return b;
}

QByteArray ending(const QByteArray &line)
{
    return line.mid(body(line).size());
}

bool isGroupLine(const QByteArray &line)
{
    return body(line).trimmed().startsWith('[');
}

// The key of a "key=value" line (trimmed), empty for comments, blanks and groups.
QByteArray keyOf(const QByteArray &line)
{
    const QByteArray b = body(line).trimmed();
    if (b.isEmpty() || b.startsWith('#') || b.startsWith('['))
        return {};
    const qsizetype eq = b.indexOf('=');
    return eq < 0 ? QByteArray() : b.left(eq).trimmed();
}

QByteArray valueOf(const QByteArray &line)
{
    const QByteArray b = body(line);
    return b.mid(b.indexOf('=') + 1).trimmed();
}

// The line end the file uses (of its first line), "\n" for a file without one.
QByteArray fileEnding(const QList<QByteArray> &lines)
{
    for (const QByteArray &line : lines)
        if (line.endsWith('\n'))
            return ending(line);
    return QByteArrayLiteral("\n");
}

} // namespace

QByteArray setDefault(const QByteArray &text, const QString &mimeType, const QString &desktopId)
{
    QList<QByteArray> lines = linesOf(text);
    const QByteArray key = mimeType.toUtf8();
    const QByteArray eol = fileEnding(lines);
    const QByteArray wanted = key + '=' + desktopId.toUtf8();
    bool inGroup = false;
    bool done = false;
    qsizetype groupAt = -1;
    qsizetype lastKeyLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isGroupLine(lines[i])) {
            inGroup = body(lines[i]).trimmed() == kDefaults;
            if (inGroup && groupAt < 0)
                groupAt = i;
            continue;
        }
        if (!inGroup || keyOf(lines[i]) != key) {
            if (inGroup && !keyOf(lines[i]).isEmpty() && groupAt >= 0 && !done)
                lastKeyLine = i;
            continue;
        }
        if (!done) {
            const QByteArray end = lines[i].endsWith('\n') ? ending(lines[i]) : QByteArray();
            lines[i] = wanted + end;
            done = true;
        } else {
            lines.removeAt(i--);
        }
    }
    if (!done) {
        auto lineWithEnd = [&](qsizetype at) {
            if (!lines[at].endsWith('\n'))
                lines[at] += eol;
        };
        if (groupAt >= 0) {
            const qsizetype after = lastKeyLine >= 0 ? lastKeyLine : groupAt;
            lineWithEnd(after);
            // A file that ended without a newline keeps ending so.
            const bool last = after == lines.size() - 1 && !text.endsWith('\n');
            lines.insert(after + 1, wanted + (last ? QByteArray() : eol));
        } else {
            QByteArray tail;
            if (!lines.isEmpty()) {
                lineWithEnd(lines.size() - 1);
                tail = eol;
            }
            lines.append(tail + kDefaults + eol + wanted + eol);
        }
    }
    return lines.join();
}

QByteArray removeApplication(const QByteArray &text, const QString &desktopId)
{
    QList<QByteArray> lines = linesOf(text);
    const QByteArray id = desktopId.toUtf8();
    bool inGroup = false;
    qsizetype header = -1;
    QList<qsizetype> emptied; // headers of groups that lost a line
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isGroupLine(lines[i])) {
            const QByteArray g = body(lines[i]).trimmed();
            inGroup = g == kDefaults || g == kAdded;
            header = i;
            continue;
        }
        const QByteArray key = keyOf(lines[i]);
        if (!inGroup || key.isEmpty())
            continue;
        const QByteArray value = valueOf(lines[i]);
        QList<QByteArray> entries = value.split(';');
        const bool trailing = value.endsWith(';');
        if (trailing)
            entries.removeLast();
        if (!entries.contains(id))
            continue;
        entries.removeAll(id);
        entries.removeAll(QByteArray());
        if (entries.isEmpty()) {
            // The line goes; a file that ended without a newline keeps ending so.
            const bool lastWithoutEnd = i == lines.size() - 1 && !lines[i].endsWith('\n');
            lines.removeAt(i--);
            if (lastWithoutEnd && i >= 0 && lines[i].endsWith('\n'))
                lines[i] = body(lines[i]);
            if (emptied.isEmpty() || emptied.last() != header)
                emptied.append(header);
            continue;
        }
        const QByteArray end = ending(lines[i]);
        lines[i] = key + '=' + entries.join(';') + (trailing ? ";" : "") + end;
    }
    // A group left with nothing but blank lines because of this edit goes too, from the last one
    // back so that the earlier headers keep their places; at the end of the file it takes the
    // blank line setDefault put before it.
    for (auto h = emptied.crbegin(); h != emptied.crend(); ++h) {
        qsizetype end = *h + 1;
        while (end < lines.size() && !isGroupLine(lines[end]) && body(lines[end]).trimmed().isEmpty())
            ++end;
        if (end < lines.size() && !isGroupLine(lines[end]))
            continue; // a comment or another key keeps the group
        qsizetype begin = *h;
        if (end == lines.size() && begin > 0 && body(lines[begin - 1]).trimmed().isEmpty())
            --begin;
        lines.remove(begin, end - begin);
    }
    return lines.join();
}

QString firstDefault(const QByteArray &text, const QString &mimeType)
{
    const QByteArray key = mimeType.toUtf8();
    bool inGroup = false;
    for (const QByteArray &line : linesOf(text)) {
        if (isGroupLine(line)) {
            inGroup = body(line).trimmed() == kDefaults;
            continue;
        }
        if (inGroup && keyOf(line) == key)
            return QString::fromUtf8(valueOf(line).split(';').value(0).trimmed());
    }
    return {};
}

} // namespace MimeAppsList
