#pragma once

#include <QString>
#include <QTranslator>

// Qt's own texts (the buttons of message boxes, the file, folder, font and colour dialogs,
// the key names in menus) in the interface language: Qt's German catalogue for "de", Qt's
// built-in English for every other code. One per application.
class QtCatalogue
{
public:
    ~QtCatalogue();
    // Installs or removes the catalogue for the code; false when the German one is missing.
    bool apply(const QString &code);

private:
    QTranslator m_translator;
    bool m_installed = false;
};
