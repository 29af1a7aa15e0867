#include "session/UserDialogs.h"

#include "core/LanguageCode.h"

#include <QFileInfo>

bool confirmOverwrite(UserDialogs &dialogs, QWidget *parent, const LanguageCode &lang, const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    const QString name = info.fileName();
    return dialogs.ask(parent, lang.text(u"%1 existiert bereits.\nSoll die Datei ersetzt werden?",
                                         u"%1 already exists.\nDo you want to replace it?")
                                   .arg(name));
}
