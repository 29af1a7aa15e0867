#include "ui/QtCatalogue.h"

#include <QCoreApplication>
#include <QLibraryInfo>

QtCatalogue::~QtCatalogue()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

bool QtCatalogue::apply(const QString &code)
{
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
        m_installed = false;
    }
    if (code != QLatin1String("de"))
        return true;
    // Debian's qt6-translations-l10n puts it into Qt's own translations folder.
    if (!m_translator.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    m_installed = QCoreApplication::installTranslator(&m_translator);
    return m_installed;
}
