#include "desktop/DesktopEntryText.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace DesktopEntryText {

namespace {

QByteArrayView trimmedLine(QByteArrayView line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    return line.trimmed();
}

} // namespace

bool programPathUsable(const QString &program)
{
    if (!program.startsWith(u'/'))
        return false;
    for (qsizetype i = 0; i < program.size(); ++i) {
        const QChar c = program.at(i);
        // '%' makes GLib refuse the whole entry, KDE does not start a program whose path holds
        // '=', and control characters end the line.
        if (c == u'%' || c == u'=' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
        if (c.isHighSurrogate()) {
            if (i + 1 >= program.size() || !program.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

QString desktopExec(const QString &program)
{
    if (!programPathUsable(program))
        return {};
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';
    // The general string escape is undone before the command line is unquoted, so it goes on
    // last: a literal '$' is written "\\$".
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    return quoted + QStringLiteral(" %F");
}

QString plainValue(const QString &text)
{
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\\\"));
    return out;
}

QString shellSingleQuoted(const QString &text)
{
    QString out = text;
    out.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + out + u'\'';
}

std::optional<QString> value(const QByteArray &text, QStringView group, QStringView key)
{
    const QByteArray groupLine = '[' + group.toUtf8() + ']';
    const QByteArray keyBytes = key.toUtf8();
    bool inGroup = false;
    for (const QByteArray &raw : text.split('\n')) {
        const QByteArrayView line = trimmedLine(raw);
        if (line.startsWith('[')) {
            inGroup = line == QByteArrayView(groupLine);
            continue;
        }
        if (!inGroup || line.startsWith('#'))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0 || line.first(eq).trimmed() != QByteArrayView(keyBytes))
            continue;
        return QString::fromUtf8(line.sliced(eq + 1).trimmed());
    }
    return std::nullopt;
}

bool carriesOwnerMarker(const QByteArray &text)
{
    const QByteArrayView marker(kOwnerMarker);
    for (const QByteArray &raw : text.split('\n')) {
        QByteArrayView line = trimmedLine(raw);
        if (line.startsWith("<!--") && line.endsWith("-->"))
            line = line.sliced(4, line.size() - 7).trimmed();
        else if (line.startsWith('#'))
            line = line.sliced(1).trimmed();
        if (line == marker)
            return true;
    }
    return false;
}

std::optional<QByteArray> readBounded(const QString &path, qint64 limit)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return std::nullopt;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = f.read(limit + 1);
    if (bytes.size() > limit)
        return std::nullopt;
    return bytes;
}

bool isOurFile(const QString &path)
{
    const std::optional<QByteArray> bytes = readBounded(path);
    return bytes && carriesOwnerMarker(*bytes);
}

} // namespace DesktopEntryText
