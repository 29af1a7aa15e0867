#include "app/SonaloApp.h"
#include "session/StartLanguage.h"
#include "ui/Tinfo.h"
#include "ui/Tstart.h"

#include "QtTestApp.h"
#include "core/OutputSettings.h"
#include "core/Playlist.h"
#include "session/Session.h"
#include "core/ListStatus.h"
#include "ui/Tprog.h"
#include "session/UserDialogs.h"
#include "ui/Tfehler.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include "support/TestSongs.h"

namespace {

class NoDialogs : public UserDialogs
{
public:
    QString openFileName(QWidget *, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &) override { return {}; }
    QStringList openFileNames(QWidget *, const QString &) override { return {}; }
    QString existingDirectory(QWidget *, const QString &) override { return {}; }
    void showError(QWidget *, const QString &message) override { errors.append(message); }
    void showMessage(QWidget *, const QString &message) override { errors.append(message); }
    void showFailure(const QString &message) override { errors.append(message); }
    bool ask(QWidget *, const QString &) override { return false; }
    QString saveFileNameAs(QWidget *, const QString &, const QString &) override { return {}; }
    std::optional<QFont> chooseFont(QWidget *, const QFont &) override { return std::nullopt; }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override { return std::nullopt; }
    QStringList errors;
};

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qtTestApp();
        ASSERT_TRUE(programDir.isValid());
        ASSERT_TRUE(workDir.isValid());
    }

    std::unique_ptr<SonaloApp> start(QStringList arguments = {})
    {
        SonaloApp::Options options;
        options.programFolder = programDir.path() + QLatin1Char('/');
        options.workingFolder = workDir.path();
        options.arguments = std::move(arguments);
        options.dialogs = &dialogs;
        return std::make_unique<SonaloApp>(options);
    }

    QTemporaryDir programDir;
    QTemporaryDir workDir;
    NoDialogs dialogs;
};

} // namespace

TEST(StartLanguage, MarkerFiles)
{
    qtTestApp();
    struct Case
    {
        std::initializer_list<const char *> files;
        const char *code;
    } cases[] = {{{}, "en"}, {{"en"}, "en"}, {{"de"}, "de"}, {{"de", "en"}, "de"}, {{"fr", "EN", "De"}, "en"}};
    for (const Case &c : cases) {
        QTemporaryDir dir;
        for (const char *f : c.files)
            touch(dir.filePath(u8(f)));
        EXPECT_EQ(StartLanguage(dir.path()), u8(c.code)) << c.code;
    }
}

TEST_F(StartupTest, WindowsAreCreatedOnceInOrderAndOnlyTheSplashShows)
{
    auto app = start();
    EXPECT_EQ(app->creationOrder(),
              QStringList({u8("start"), u8("prog"), u8("Tsuchopt"), u8("Tstartfenster"), u8("Taddordner"),
                           u8("Tlastfiles"), u8("Tinfo"), u8("Tdateiinfo"), u8("Ttxtexport"), u8("Tfehler"),
                           u8("Teinstausgabe"), u8("Tbugreport_de"), u8("Tbugreport_en"), u8("Teinstshortcuts"),
                           u8("Tequalizer")}));
    for (QWidget *w : app->windows())
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    app->showSplash();
    for (QWidget *w : app->windows())
        EXPECT_EQ(w->isVisible(), w == app->start()) << w->objectName().toStdString();

    Tstart *splash = app->start();
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(splash->size(), QSize(400, 300));
    EXPECT_EQ(splash->timer()->interval(), 350);
    EXPECT_TRUE(splash->timer()->isActive());
    EXPECT_EQ(splash->image2()->geometry(), QRect(206, 226, 194, 74));
    EXPECT_EQ(splash->languageLabel()->text(), u8("en"));
    EXPECT_TRUE(splash->languageLabel()->isHidden());
    EXPECT_FALSE(splash->image2()->isHidden());

    // Closing a secondary window only hides it.
    app->info()->show();
    app->info()->close();
    EXPECT_FALSE(app->info()->isVisible());
    EXPECT_EQ(app->windows().size(), 15);
}

TEST_F(StartupTest, SplashTicks)
{
    auto app = start();
    app->showSplash();
    Tstart *splash = app->start();
    for (int tick = 1; tick <= 12; ++tick) {
        if (!splash->timer()->isActive())
            break;
        splash->Timer1Timer();
        EXPECT_EQ(splash->clock().SplashTicks, tick);
        EXPECT_EQ(app->prog()->isVisible(), tick >= 8) << "tick " << tick;
        EXPECT_EQ(splash->isVisible(), tick < 11) << "tick " << tick;
        EXPECT_EQ(splash->timer()->isActive(), tick < 11) << "tick " << tick;
    }
    EXPECT_EQ(splash->clock().SplashTicks, 11);
}

TEST_F(StartupTest, ClickEndsTheSplashAtOnce)
{
    auto app = start();
    app->showSplash();
    app->start()->Timer1Timer();
    // A click on a picture reaches the splash.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(app->start()->image2(), &press);
    EXPECT_TRUE(app->prog()->isVisible());
    EXPECT_FALSE(app->start()->isVisible());
    EXPECT_FALSE(app->start()->timer()->isActive());
}

TEST_F(StartupTest, GermanMarkerAndLanguageMenuReachEveryWindow)
{
    touch(workDir.filePath(u8("de")));
    touch(workDir.filePath(u8("en")));
    auto app = start();
    EXPECT_EQ(app->session().lang.code(), u8("de"));
    EXPECT_TRUE(app->start()->image2()->isHidden());
    EXPECT_EQ(app->start()->languageLabel()->text(), u8("de"));

    struct Title
    {
        const char *window;
        const char *de;
        const char *en;
    } titles[] = {
        {"Tsuchopt", "Suchoptionen", "Search Options"},
        {"Tstartfenster", "Playlist Öffnen", "Open Playlist"},
        {"Taddordner", "Ordner Hinzufügen", "Add Folder"},
        {"Tlastfiles", "Letzte Songs", "Last Songs"},
        {"Tdateiinfo", "Datei Informationen", "File Information"},
        {"Ttxtexport", "Export als Text/HTML Tabelle", "Export as Text/HTML Table"},
        {"Tfehler", "Fehlermeldungen", "Error Messages"},
        {"Teinstausgabe", "Ausgabe Einstellungen", "Output Settings"},
        {"Teinstshortcuts", "Verknüpfungen", "Shortcuts"},
    };
    auto window = [&](const char *name) -> QWidget * {
        for (QWidget *w : app->windows())
            if (w->objectName() == QLatin1String(name))
                return w;
        return nullptr;
    };
    for (bool de : {true, false}) {
        if (!de)
            app->prog()->English1Click();
        for (const Title &t : titles) {
            ASSERT_NE(window(t.window), nullptr) << t.window;
            EXPECT_EQ(window(t.window)->windowTitle(), u8(de ? t.de : t.en)) << t.window;
        }
        EXPECT_EQ(app->info()->currentPanel()->objectName(), u8(de ? "panel_de" : "panel_en"));
        EXPECT_EQ(app->start()->languageLabel()->text(), u8(de ? "de" : "en"));
    }

    // Another code (a settings file may hold one): routines that test both codes change
    // nothing, the output settings and the information window show English.
    app->prog()->Deutsch1Click();
    app->session().lang.setCode(u8("fr"));
    Q_EMIT app->prog()->languageSwitched();
    EXPECT_EQ(window("Tsuchopt")->windowTitle(), u8("Suchoptionen"));
    EXPECT_EQ(window("Teinstshortcuts")->windowTitle(), u8("Verknüpfungen"));
    EXPECT_EQ(window("Teinstausgabe")->windowTitle(), u8("Output Settings"));
    EXPECT_EQ(app->info()->currentPanel()->objectName(), u8("panel_en"));
}

TEST_F(StartupTest, DemoStyleStartLoadsTheOnePlaylistAndClosingEndsTheSplash)
{
    TSongRecord r;
    r.Artist = u8("Tone");
    r.Length = u8("0:03");
    SavePlaylist({r, r}, programDir.filePath(u8("demo.slp")), TTextEncoding::teUtf8, PictureStyle());
    auto app = start();
    app->showSplash();
    app->start()->FormClick();
    EXPECT_EQ(app->session().lists.AllSongs().size(), 2);
    EXPECT_EQ(app->prog()->statusLabel()->text(), u8("2 Files Loaded (6sec)"));

    app->prog()->close();
    EXPECT_FALSE(app->prog()->isVisible());
    EXPECT_FALSE(app->start()->isVisible());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(StartupTest, ArgumentsAddSongsFoldersAndPlaylistsInOrder)
{
    // A short silent WAV; the name gives the title.
    QByteArray wav("RIFF");
    const quint32 rate = 8000, samples = 8000 * 2;
    auto le = [&](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            wav.append(char((v >> (8 * i)) & 0xFF));
    };
    le(36 + samples * 2, 4);
    wav.append("WAVEfmt ");
    le(16, 4), le(1, 2), le(1, 2), le(rate, 4), le(rate * 2, 4), le(2, 2), le(16, 2);
    wav.append("data");
    le(samples * 2, 4);
    wav.append(QByteArray(int(samples * 2), '\0'));
    ASSERT_TRUE(QDir(programDir.path()).mkpath(u8("music")));
    for (const char *name : {"music/Band - Tune.wav", "loose.wav"}) {
        QFile f(programDir.filePath(u8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(wav);
    }
    TSongRecord listed;
    listed.Artist = u8("Listed");
    listed.Length = u8("1:00");
    SavePlaylist({listed}, programDir.filePath(u8("other.slp")), TTextEncoding::teUtf8, PictureStyle());
    // Playlists beside the program are not offered when there are arguments.
    SavePlaylist({listed}, programDir.filePath(u8("beside.slp")), TTextEncoding::teUtf8, PictureStyle());

    auto app = start({programDir.filePath(u8("loose.wav")), programDir.filePath(u8("other.slp")),
                      programDir.filePath(u8("music"))});
    app->showSplash();
    app->start()->FormClick();
    const SongList &songs = app->session().lists.AllSongs();
    ASSERT_EQ(songs.size(), 3);
    EXPECT_EQ(songs[0].Path, programDir.filePath(u8("loose.wav")));
    EXPECT_EQ(songs[0].Title, u8("loose.wav"));
    EXPECT_EQ(songs[1].Artist, u8("Listed"));
    EXPECT_EQ(songs[2].Path, programDir.filePath(u8("music/Band - Tune.wav")));
    EXPECT_TRUE(app->session().playlist.PlaylistFolderList().isEmpty());
    EXPECT_EQ(app->prog()->statusLabel()->text(), u8("3 Files Loaded ") + TotalPlayingTime(songs));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(StartupTest, SeveralPlaylistsBesideTheProgramAreOfferedNotLoaded)
{
    TSongRecord r;
    r.Artist = u8("Tone");
    for (const char *name : {"a.slp", "b.slp"})
        SavePlaylist({r}, programDir.filePath(u8(name)), TTextEncoding::teUtf8, PictureStyle());
    auto app = start();
    app->showSplash();
    app->start()->FormClick();
    // They wait in the start window for the user's choice.
    EXPECT_TRUE(app->session().lists.AllSongs().isEmpty());
    EXPECT_EQ(app->session().playlist.PlaylistFolderList().size(), 2);
    EXPECT_EQ(app->prog()->statusLabel()->text(), u8("No Files Loaded"));
    app->prog()->close();
}
