#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QAnyStringView>
#include <QStringView>

#include <optional>

// An INI text ("[section]" lines, "key=value" lines) that keeps every line it is not asked to
// change: keys of other names, other sections, comments, blank lines, their order and their line
// breaks. QSettings would read it too, but it reorders keys and drops comments, and the file is
// one a user may keep notes in. Pure functions over bytes: any input parses, nothing is assumed
// about line lengths.
//
// Reading follows the usual profile rules: section and key names compare case-insensitively,
// the first section of a name and the first key of a name in it count, names and values are
// trimmed, a value in matching quotes loses them, lines starting with ";" are comments.
class IniFile
{
public:
    // Decodes by signature (UTF-16 either way, UTF-8) or, without one, as UTF-8 when the
    // bytes are UTF-8 and as the 8-bit code page otherwise.
    static IniFile parse(QByteArrayView bytes);

    // UTF-8; a UTF-8 signature read is written again. Lines not changed come out as they were
    // read (for a UTF-8 file: byte for byte).
    QByteArray toBytes() const;

    std::optional<QString> value(QAnyStringView section, QAnyStringView key) const;
    // Replaces the value of the first such key in place, or adds the key at the end of the
    // section, or the section at the end of the text. Line breaks in the value become spaces:
    // a value never makes lines of its own.
    void setValue(QAnyStringView section, QAnyStringView key, QStringView value);

    qsizetype lineCount() const { return m_lines.size(); }

private:
    struct Line
    {
        enum Kind { Other, Section, Key };
        QString text;
        QString end; // the line break that ended it: "\r\n", "\n", "\r" or none at the end
        Kind kind = Other;
        QString name; // section or key name, trimmed
    };

    static Line classify(QString text, QString end);
    // The first section of the name: index of its header line, or -1.
    qsizetype findSection(QAnyStringView section) const;
    // One past the last line of the section starting at header.
    qsizetype sectionEnd(qsizetype header) const;
    QString newLineBreak() const;

    QList<Line> m_lines;
    bool m_utf8Signature = false;
};

// An integer as the profile functions read it: optional sign, then decimal digits, or
// hexadecimal digits after "0x" or "$"; nothing else around it. Decimal must fit 32 bits;
// hexadecimal may use all 32 bits and wraps like the 32-bit register it came from.
std::optional<int> parseIniInteger(QStringView text);
