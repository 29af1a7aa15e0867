#include "core/IniFile.h"

#include "core/TextEncoding.h"

#include <limits>

namespace {

bool sameName(QStringView a, QAnyStringView b)
{
    return QAnyStringView::compare(a, b, Qt::CaseInsensitive) == 0;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

IniFile::Line IniFile::classify(QString text, QString end)
{
    Line line{std::move(text), std::move(end), Line::Other, {}};
    const QStringView t = QStringView(line.text).trimmed();
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        line.kind = Line::Section;
        line.name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed().toString();
    } else if (!t.startsWith(u';')) {
        const qsizetype eq = t.indexOf(u'=');
        if (eq > 0) {
            const QStringView key = t.left(eq).trimmed();
            if (!key.isEmpty()) {
                line.kind = Line::Key;
                line.name = key.toString();
            }
        }
    }
    return line;
}

IniFile IniFile::parse(QByteArrayView bytes)
{
    IniFile ini;
    ini.m_utf8Signature = bytes.startsWith("\xEF\xBB\xBF");
    // A signature (UTF-16 either way, UTF-8) decides; without one, UTF-8 when every byte fits
    // it, else the 8-bit code page, so an old file with one umlaut still reads.
    QString text;
    qsizetype malformed = 0;
    const bool signature = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || ini.m_utf8Signature;
    if (!signature)
        text = decodeUtf8(bytes, Utf8Malformed::Replace, &malformed);
    if (signature || malformed > 0)
        text = decodeLineReaderText(bytes);
    // Further signatures (a file saved by tools that each added their own) are signatures
    // too: left in, they would hide the first section, and written as UTF-8 they read as one.
    qsizetype extra = 0;
    while (extra < text.size() && text[extra] == QChar(0xFEFF))
        ++extra;
    if (extra > 0) {
        text.remove(0, extra);
        ini.m_utf8Signature = true;
    }
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype i = start;
        while (i < n && text[i] != u'\n' && text[i] != u'\r')
            ++i;
        qsizetype endLength = 0;
        if (i < n)
            endLength = (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
        ini.m_lines.append(classify(text.mid(start, i - start), text.mid(i, endLength)));
        start = i + endLength;
    }
    return ini;
}

QByteArray IniFile::toBytes() const
{
    QString text;
    for (const Line &line : m_lines)
        text += line.text + line.end;
    QByteArray out = m_utf8Signature ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    return out + text.toUtf8();
}

qsizetype IniFile::findSection(QAnyStringView section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Line::Section && sameName(m_lines[i].name, section))
            return i;
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Line::Section)
        ++i;
    return i;
}

std::optional<QString> IniFile::value(QAnyStringView section, QAnyStringView key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind != Line::Key || !sameName(line.name, key))
            continue;
        QStringView v = QStringView(line.text).mid(line.text.indexOf(u'=') + 1).trimmed();
        if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        return v.toString();
    }
    return std::nullopt;
}

QString IniFile::newLineBreak() const
{
    for (const Line &line : m_lines)
        if (!line.end.isEmpty())
            return line.end;
    return QStringLiteral("\n");
}

void IniFile::setValue(QAnyStringView section, QAnyStringView key, QStringView value)
{
    QString clean = value.toString();
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString br = newLineBreak();
    qsizetype header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && m_lines.back().end.isEmpty())
            m_lines.back().end = br;
        m_lines.append(classify(u'[' + section.toString() + u']', br));
        header = m_lines.size() - 1;
    }
    const qsizetype end = sectionEnd(header);
    qsizetype insertAt = header + 1;
    for (qsizetype i = header + 1; i < end; ++i) {
        Line &line = m_lines[i];
        if (line.kind == Line::Key && sameName(line.name, key)) {
            // The name as it was spelled and the spaces around "=" stay.
            qsizetype valueStart = line.text.indexOf(u'=') + 1;
            while (valueStart < line.text.size() && line.text[valueStart].isSpace())
                ++valueStart;
            line.text = line.text.left(valueStart) + clean;
            return;
        }
        // New keys go after the section's last line that is not blank, so the blank line
        // before the next section stays where it is.
        if (!QStringView(line.text).trimmed().isEmpty())
            insertAt = i + 1;
    }
    if (insertAt > 0 && m_lines[insertAt - 1].end.isEmpty())
        m_lines[insertAt - 1].end = br;
    m_lines.insert(insertAt, classify(key.toString() + u'=' + clean, br));
}

std::optional<int> parseIniInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    const bool hex = text.mid(i).startsWith(u"0x", Qt::CaseInsensitive) || text.mid(i).startsWith(u'$');
    if (hex)
        i += text[i] == u'$' ? 1 : 2;
    if (i >= text.size())
        return std::nullopt;
    const quint64 limit = hex ? 0xFFFFFFFFull : quint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    quint64 v = 0;
    for (; i < text.size(); ++i) {
        const int d = hex ? hexDigit(text[i]) : (text[i] >= u'0' && text[i] <= u'9' ? text[i].unicode() - '0' : -1);
        if (d < 0)
            return std::nullopt;
        v = v * (hex ? 16 : 10) + quint64(d);
        if (v > limit)
            return std::nullopt;
    }
    const qint64 wide = hex ? qint64(qint32(quint32(v))) : qint64(v);
    const qint64 signedValue = negative ? -wide : wide;
    // -(-2^31) of a hexadecimal value wraps again, as the register would.
    return int(qint32(quint32(quint64(signedValue))));
}
