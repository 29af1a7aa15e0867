#pragma once

#include <QString>
#include <QStringView>

// The interface language, "de" or "en". One instance for the whole program, shared by reference
// with every window and controller; it is the only way the language is passed. Language
// routines set German texts for "de" and English texts for "en" and leave other codes alone;
// texts chosen at the moment of use are German only for "de".
class LanguageCode
{
public:
    LanguageCode() = default;
    explicit LanguageCode(QString code) : m_code(std::move(code)) {}

    const QString &code() const { return m_code; }
    void setCode(const QString &code) { m_code = code; }
    bool isDe() const { return m_code == QLatin1String("de"); }
    bool isEn() const { return m_code == QLatin1String("en"); }

    // A text chosen at the moment of use: German for "de", English for any other code.
    QString text(QStringView de, QStringView en) const { return (isDe() ? de : en).toString(); }

private:
    QString m_code = QStringLiteral("en");
};
