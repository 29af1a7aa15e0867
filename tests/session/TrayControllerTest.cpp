// The tray icon's logic without a tray: the close rule, the menu's commands and the tooltip,
// and the option's place in the settings file.
#include "session/SessionFixture.h"

#include "session/AppTitle.h"

#include <QFile>

namespace {

class TrayControllerTest : public SessionFixture
{
protected:
    TrayController &tray() { return session->tray; }
    // Two songs whose files exist (the playback starts only existing files), in table order.
    void twoSongs()
    {
        SongList songs;
        for (const char *name : {"Abba", "Queen"}) {
            TSongRecord r = song(name, name[0] == 'A' ? "Waterloo" : "Bohemian");
            r.Path = programFolder + r.Path;
            QFile f(r.Path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            songs.append(r);
        }
        session->lists.replaceAll(songs);
        session->display.setRandomOrder(false);
    }
};

} // namespace

TEST_F(TrayControllerTest, ClosingHidesOnlyWithTheOptionAndATrayUnlessQuitWasAsked)
{
    using A = TrayController::CloseAction;
    struct Case
    {
        bool option, trayShown, quit;
        A expected;
    };
    for (const Case c : {Case{false, false, false, A::Close}, Case{false, true, false, A::Close},
                         Case{true, false, false, A::Close}, Case{true, true, false, A::HideToTray},
                         Case{true, true, true, A::Close}, Case{false, true, true, A::Close}}) {
        session->settings.setCloseToTray(c.option);
        tray().setTrayShown(c.trayShown);
        if (c.quit)
            tray().requestQuit();
        EXPECT_EQ(tray().closeAction(), c.expected) << c.option << c.trayShown << c.quit;
        tray().closeHandled(); // a refused close spends the quit request
        EXPECT_EQ(tray().closeAction(), c.option && c.trayShown ? A::HideToTray : A::Close);
    }
}

TEST_F(TrayControllerTest, OptionIsOffByDefaultAndKeptInTheSettingsFile)
{
    EXPECT_FALSE(session->settings.closeToTray());
    session->settings.setCloseToTray(true);
    ASSERT_TRUE(session->settings.SaveSettings());
    QFile file(session->settings.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("infobereich=1"));

    session = std::make_unique<Session>(options());
    EXPECT_FALSE(session->settings.closeToTray());
    session->settings.LoadSettings();
    EXPECT_TRUE(session->settings.closeToTray());
}

TEST_F(TrayControllerTest, MenuDrivesThePlaybackAndTheTooltipFollowsTheSong)
{
    twoSongs();
    QStringList tips;
    QObject::connect(&tray(), &TrayController::toolTipChanged, [&tips](const QString &text) { tips << text; });
    EXPECT_EQ(tray().toolTip(), kApplicationTitle());

    tray().playPause(); // nothing loaded: plays the first song
    ASSERT_TRUE(tray().playing());
    EXPECT_EQ(tray().toolTip(), u8("Abba - Waterloo"));
    ASSERT_FALSE(tips.isEmpty());
    EXPECT_EQ(tips.last(), u8("Abba - Waterloo"));

    tray().next();
    EXPECT_EQ(tips.last(), u8("Queen - Bohemian"));
    tray().previous(); // as the Play menu's: the newest entry of the history is the song itself
    tray().previous();
    EXPECT_EQ(tips.last(), u8("Abba - Waterloo"));

    tray().playPause();
    EXPECT_FALSE(tray().playing());
    EXPECT_EQ(tray().toolTip(), u8("Abba - Waterloo")); // paused, the song stays
    tray().playPause();
    EXPECT_TRUE(tray().playing());
}
