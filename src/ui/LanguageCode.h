#pragma once

#include <QString>

// The interface language, "de" or "en". One instance for the whole program, shared by reference
// with every window. Language routines set German texts for "de" and English texts for "en" and
// leave other codes alone; texts chosen at the moment of use are German only for "de".
class LanguageCode
{
public:
    const QString &code() const { return m_code; }
    void setCode(const QString &code) { m_code = code; }

    bool isDe() const { return m_code == QLatin1String("de"); }
    bool isEn() const { return m_code == QLatin1String("en"); }

private:
    QString m_code = QStringLiteral("en");
};
