// Draws the export window and the output settings window off screen, as the README shows them:
// the export window with a written list and its filter and settings panels open.
// Usage: sonalo_export_screenshots de|en OUTPUT_FOLDER
#include "session/ScriptedDialogs.h"
#include "ui/TestApp.h"
#include "app/SonaloApp.h"
#include "support/FakeAudioPlayer.h"
#include "session/Session.h"
#include "ui/Teinstausgabe.h"
#include "ui/Tprog.h"
#include "ui/Ttxtexport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication qapp(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 || (args[1] != QLatin1String("de") && args[1] != QLatin1String("en"))) {
        std::fputs("usage: sonalo_export_screenshots de|en OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    const bool de = args[1] == QLatin1String("de");
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    SonaloApp app(testAppOptions(folder.path(), dialogs, players.factory()));
    Session &s = app.session();
    app.prog()->findChild<QAction *>(QLatin1String(de ? "Deutsch1" : "English1"))->trigger();
    const char *const songs[][7] = {
        {"Die Ärzte", "Zu spät", "3:05", "Debil", "7", "1984", "Punk"},
        {"ABBA", "Waterloo", "2:45", "Waterloo", "1", "1974", "Pop"},
        {"Miles Davis", "So What", "9:22", "Kind of Blue", "1", "1959", "Jazz"},
        {"Nina Simone", "Feeling Good", "2:53", "I Put a Spell on You", "7", "1965", "Soul"},
        {"Kraftwerk", "Das Model", "3:38", "Die Mensch-Maschine", "5", "1978", "Electronic"},
        {"The Beatles", "Let It Be", "4:03", "Let It Be", "6", "1970", "Rock"},
    };
    for (const auto &f : songs) {
        TSongRecord r{QString::fromUtf8(f[0]), QString::fromUtf8(f[1]), QString::fromUtf8(f[2]), QString::fromUtf8(f[3]),
                      QString::fromUtf8(f[4]), QString::fromUtf8(f[5]), QString::fromUtf8(f[6]), QString()};
        r.Path = QStringLiteral("Music/") + r.Artist + QStringLiteral(" - ") + r.Title + QStringLiteral(".mp3");
        s.lists.append(r);
    }
    Ttxtexport *w = app.txtexport();
    w->cb_filter->click();
    w->cb_einghilfe->click();
    w->cb_einst->click();
    s.txtExport.setTemplateText(QStringLiteral("%123%. ") + s.txtExport.templateText() + QStringLiteral(" (%jahr%)"));
    w->mtxtexportClick();
    Teinstausgabe *o = app.einstausgabe();
    o->show();
    QCoreApplication::processEvents();
    const QString out = args[2] + QLatin1Char('/');
    const bool ok = w->grab().save(out + QStringLiteral("export-window-") + args[1] + QStringLiteral(".png")) &&
                    o->grab().save(out + QStringLiteral("output-settings-") + args[1] + QStringLiteral(".png"));
    return ok ? 0 : 1;
}
