#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// A line template compiled once per write: tokens in order, literal texts in a list of their
// own that the tokens point into. German and English placeholders give the same tokens.
class ExportTemplate
{
public:
    enum class Kind : quint8 { Number, Field, FileName, Tab, Literal };
    struct Token
    {
        Kind kind;
        int index; // the field (0..7, TSongRecord order) or the literal's index; else 0
    };

    static ExportTemplate compile(QStringView text);

    const QList<Token> &tokens() const { return m_tokens; }
    const QStringList &literals() const { return m_literals; }

private:
    QList<Token> m_tokens;
    QStringList m_literals;
};

// The texts a line holds for the running number and the column separator until the last
// steps of a write replace them.
inline constexpr QStringView kNumberMarker = u"%123%";
inline constexpr QStringView kTabMarker = u"%tab%";
