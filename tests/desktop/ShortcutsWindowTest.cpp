// The shortcuts window over a temporary scope: its captions in both languages, the status
// labels after each click, the refusal message and the administrator restart through a
// stand-in pkexec.
#include "app/SonaloApp.h"
#include "desktop/AdminRestart.h"
#include "desktop/ShellIntegration.h"
#include "ui/Teinstshortcuts.h"

#include "QtTestApp.h"
#include "DesktopFixtures.h"
#include "TempDir.h"
#include "support/FakeAudioPlayer.h"
#include "session/ScriptedDialogs.h"
#include "ui/TestApp.h"
#include "ui/Tprog.h"

#include <QAction>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

struct Window
{
    // By default an ordinary user on a machine without pkexec.
    explicit Window(const TempDir &tmp, const QString &program, AdminRestart::Options admin = {1000, {}, {}, {}},
                    bool systemWide = false)
        : shell({DesktopScope{tmp.path(u8("data")), tmp.path(u8("config/mimeapps.list")), systemWide}, program, &tinyPng}),
          restart(admin), window(lang, shell, restart, dialogs)
    {
    }
    LanguageCode lang{u8("de")};
    ShellIntegration shell;
    AdminRestart restart;
    ScriptedDialogs dialogs;
    Teinstshortcuts window;

    QString text(const char *name) const
    {
        if (auto *l = window.findChild<QLabel *>(u8(name)))
            return l->text();
        if (auto *b = window.findChild<QPushButton *>(u8(name)))
            return b->text();
        if (auto *g = window.findChild<QGroupBox *>(u8(name)))
            return g->title();
        return u8("<missing>");
    }
    void click(const char *name) { window.findChild<QPushButton *>(u8(name))->click(); }
};

class ShortcutsWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { qtTestApp(); }
    TempDir tmp;
    const QString program = tmp.path(u8("ORV Sonalo/sonalo"));
};

TEST_F(ShortcutsWindowTest, CaptionsInBothLanguages)
{
    Window w(tmp, program);
    const struct
    {
        const char *name, *de, *en;
    } captions[] = {
        {"Label6", "Das Programm muss für diese Änderungen als Administrator ausgeführt werden.",
         "The Program must be executed as an Administrator to apply this functions."},
        {"AlsAdminStarten", "Programm als Admin neu starten", "Restart Program as Admin"},
        {"gb1", "Verknüpfung mit Playlisten (*.slp)", "Shortcut to Playlists (*.slp)"},
        {"Label1", "Verknüpfung dieses Programms mit Playlist-Dateien (Dateiendung: .slp)",
         "Shortcut of this Application with Playlist Files (File Extension: .slp)"},
        {"gb2", "Senden an", "Send to"},
        {"Label7", "Anzeige dieses Programms im \"Senden an\" - Explorer Kontextmenü",
         "Show this Application in the Explorer Context Menu \"Send to\""},
        {"gb3", "Verknüpfung mit Ordnern", "Shortcut with Folders"},
        {"Label4", "Anzeige dieses Programms im Explorer Kontextmenü von Ordnern",
         "Show this Application in the Explorer Context Menu of Folders"},
        {"gb4", "Verknüpfung mit Dateien", "Shortcut with Files"},
        {"Label10", "Anzeige dieses Programms im Explorer Kontextmenü aller Dateien",
         "Show this Application in the Explorer Context Menu of all Files"},
        {"Label3", "Anzeige dieses Programms im Explorer Kontextmenü dieser Dateien:",
         "Show this Application in the Explorer Context Menu of these Files:"},
        {"Label12", "Hilfe und weitere Informationen zu Verknüpfungen und Administratorrechten auf:",
         "Help and more Information regarding Shortcuts and Administrator Rights on:"},
        {"KonfigAn", "Verknüpfen", "Register"},
        {"BeliebigeDateienAn", "Verknüpfen", "Register"},
        {"AlleDateienAus", "Entfernen", "Remove"},
        {"BeliebigeDateienAus", "Entfernen", "Remove"},
        {"ver_ordner", "Nicht aktiv", "Not activated"},
        {"Label9", "Das Programm wird gerade nicht als Administrator ausgeführt.",
         "The Program is not running as an Administrator."},
    };
    for (const char *code : {"de", "en", "fr"}) {
        const bool de = std::string(code) == "de";
        w.lang.setCode(u8(code));
        w.window.Sprache();
        // Other codes leave the texts as they were (English here).
        for (const auto &c : captions)
            EXPECT_EQ(w.text(c.name), u8(de ? c.de : c.en)) << code << " " << c.name;
        EXPECT_EQ(w.window.windowTitle(), u8(de ? "Verknüpfungen" : "Shortcuts"));
        for (QLabel *caption : w.window.statusCaptions)
            EXPECT_EQ(caption->text(), u8("Status:"));
    }
    EXPECT_EQ(w.window.beldateien->text(), u8("mp3,wav,ogg,wma"));
    EXPECT_TRUE(w.window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(w.window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w.window.minimumSize(), w.window.maximumSize());
    // The help link leads to the README's section on desktop integration, in a copy that ships
    // with the program: with none installed, the one built in, in the user's cache folder.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(tmp.path(u8("cache"))));
    const QUrl help = Teinstshortcuts::helpUrl();
    w.lang.setCode(u8("en"));
    w.window.Sprache();
    qunsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(help.toLocalFile(), tmp.path(u8("cache/sonalo/README.md")));
    EXPECT_EQ(help.fragment(), u8("desktop-integration"));
    EXPECT_TRUE(TempDir::read(help.toLocalFile()).contains("\n## Desktop integration\n"));
    EXPECT_TRUE(w.text("Label70").contains(help.toString(QUrl::FullyEncoded).toHtmlEscaped()));
}

TEST_F(ShortcutsWindowTest, EachGroupRegistersAndRemovesAndShowsItsState)
{
    Window w(tmp, program);
    const struct
    {
        const char *on, *off, *state;
    } groups[] = {{"KonfigAn", "KonfigAus", "ver_konfig"},
                  {"SendenAnAn", "SendenAnAus", "ver_sendenan"},
                  {"OrdnerAn", "OrdnerAus", "ver_ordner"},
                  {"AlleDateienAn", "AlleDateienAus", "ver_alledateien"}};
    for (const auto &g : groups) {
        auto *state = w.window.findChild<QLabel *>(u8(g.state));
        EXPECT_EQ(state->text(), u8("Nicht aktiv"));
        EXPECT_TRUE(state->styleSheet().contains(u8("red")));
        w.click(g.on);
        w.click(g.on);
        EXPECT_EQ(state->text(), u8("Aktiv")) << g.on;
        EXPECT_TRUE(state->styleSheet().contains(u8("green")));
        w.lang.setCode(u8("en"));
        w.window.Sprache();
        EXPECT_EQ(state->text(), u8("Activated"));
        w.click(g.off);
        EXPECT_EQ(state->text(), u8("Not activated")) << g.off;
        w.lang.setCode(u8("de"));
        w.window.Sprache();
    }
    w.window.beldateien->setText(u8(" MP3,.wav,,ogg ,a.b,.x y"));
    w.click("BeliebigeDateienAn");
    EXPECT_EQ(w.shell.chosenTypes(), QStringList({u8("mp3"), u8("wav"), u8("ogg")}));
    w.window.beldateien->setText(u8("wav"));
    w.click("BeliebigeDateienAus");
    EXPECT_EQ(w.shell.chosenTypes(), QStringList({u8("mp3"), u8("ogg")}));
    EXPECT_TRUE(w.dialogs.errors.isEmpty());
}

TEST_F(ShortcutsWindowTest, AProgramPathWithAPercentSignIsRefusedWithAMessage)
{
    Window w(tmp, u8("/opt/100% Sonalo/sonalo"));
    for (const char *on : {"KonfigAn", "SendenAnAn", "OrdnerAn", "AlleDateienAn", "BeliebigeDateienAn"})
        w.click(on);
    ASSERT_EQ(w.dialogs.errors.size(), 5);
    EXPECT_TRUE(w.dialogs.errors[0].startsWith(u8("Der Programmpfad \"/opt/100% Sonalo/sonalo\" kann nicht")));
    EXPECT_EQ(w.text("ver_konfig"), u8("Nicht aktiv"));
    EXPECT_FALSE(QFile::exists(tmp.path(u8("data"))));
}

TEST_F(ShortcutsWindowTest, AdministratorPartShowsOnlyForTheSystemWideScope)
{
    for (bool systemWide : {false, true}) {
        Window w(tmp, program, {systemWide ? 0u : 1000u, {}, {}, {}}, systemWide);
        w.window.show();
        for (QWidget *admin : std::initializer_list<QWidget *>{w.window.Label6, w.window.Label9, w.window.AlsAdminStarten})
            EXPECT_EQ(admin->isVisible(), systemWide) << admin->objectName().toStdString() << ' ' << systemWide;
        EXPECT_TRUE(w.window.Label12->isVisible());
    }
}

TEST_F(ShortcutsWindowTest, AdministratorStateAndRestart)
{
    // Root: green, nothing to restart.
    {
        Window w(tmp, program, {0, u8("/usr/bin/pkexec"), program, {}});
        EXPECT_EQ(w.text("Label9"), u8("Das Programm wird gerade als Administrator ausgeführt."));
        EXPECT_TRUE(w.window.Label9->styleSheet().contains(u8("green")));
        EXPECT_FALSE(w.window.AlsAdminStarten->isEnabled());
    }
    QProcessEnvironment env;
    env.insert(u8("DISPLAY"), u8(":84"));
    env.insert(u8("XAUTHORITY"), u8("/home/u/.Xauthority"));
    // No pkexec: disabled, and the tooltip says why.
    {
        Window w(tmp, program, {1000, QString(), program, env});
        EXPECT_TRUE(w.window.Label9->styleSheet().contains(u8("red")));
        EXPECT_FALSE(w.window.AlsAdminStarten->isEnabled());
        EXPECT_TRUE(w.window.AlsAdminStarten->toolTip().contains(u8("pkexec")));
    }
    // A stand-in pkexec records its arguments and answers as a dismissed dialog does.
    const QString log = tmp.path(u8("pkexec.log"));
    const QString fake = tmp.write(u8("bin/pkexec"), "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                                       QFile::encodeName(log) + "'\nexit 126\n");
    QFile::setPermissions(fake, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    Window w(tmp, program, {1000, fake, program, env});
    ASSERT_TRUE(w.window.AlsAdminStarten->isEnabled());
    QList<int> finished;
    QObject::connect(&w.restart, &AdminRestart::finished, [&finished](int code) { finished.append(code); });
    w.click("AlsAdminStarten");
    EXPECT_FALSE(w.window.AlsAdminStarten->isEnabled());
    QElapsedTimer t;
    t.start();
    while (finished.isEmpty() && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(finished, QList<int>{126});
    EXPECT_TRUE(w.window.AlsAdminStarten->isEnabled()) << "the caller runs on and may try again";
    EXPECT_EQ(QString::fromUtf8(TempDir::read(log)).split(u'\n', Qt::SkipEmptyParts),
              QStringList({program, u8("--elevated-shortcuts"), u8("--display=:84"),
                           u8("--xauthority=/home/u/.Xauthority"), u8("--wayland-display="), u8("--language=de")}));
}

// In the whole program: the settings menu opens the window, the language menu switches it, and
// its clicks write into the scope the program was given.
TEST_F(ShortcutsWindowTest, OpensFromTheMenuAndFollowsTheLanguage)
{
    ScriptedDialogs dialogs;
    FakeAudioScript script;
    SonaloApp app(testAppOptions(tmp.path(), dialogs, script.factory()));
    Teinstshortcuts *window = app.einstshortcuts();
    auto action = [&app](const char *name) { return app.prog()->findChild<QAction *>(u8(name)); };
    ASSERT_TRUE(action("m_einstshortcuts")->isEnabled());
    EXPECT_FALSE(window->isVisible());
    action("m_einstshortcuts")->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), u8("Shortcuts"));
    action("Deutsch1")->trigger();
    EXPECT_EQ(window->windowTitle(), u8("Verknüpfungen"));
    EXPECT_EQ(window->ver_sendenan->text(), u8("Nicht aktiv"));
    window->SendenAnAn->click();
    EXPECT_EQ(window->ver_sendenan->text(), u8("Aktiv"));
    EXPECT_TRUE(TempDir::read(tmp.path(u8("desktop-data/Thunar/sendto/sonalo-sendto.desktop")))
                    .contains("X-Sonalo-Owner=ORVmp3player"));
    window->OK->click();
    EXPECT_FALSE(window->isVisible());
}

TEST(ElevatedStart, OnlyRootStartedByPkexecWithValidOptions)
{
    const QStringList good = {u8("--elevated-shortcuts"), u8("--display=:0"), u8("--xauthority=/run/user/1000/xauth"),
                              u8("--wayland-display="), u8("--language=de")};
    const auto r = ElevatedStart::parse(good, 0, true);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->display, u8(":0"));
    EXPECT_EQ(r->xauthority, u8("/run/user/1000/xauth"));
    EXPECT_EQ(r->language, u8("de"));
    EXPECT_FALSE(ElevatedStart::parse(good, 1000, true));
    EXPECT_FALSE(ElevatedStart::parse(good, 0, false));
    const QStringList bad[] = {
        {u8("--elevated-shortcuts"), u8("--display=:0;rm -rf /")},
        {u8("--elevated-shortcuts"), u8("--display=:0"), u8("--xauthority=relative")},
        {u8("--elevated-shortcuts"), u8("--display=:0"), u8("--wayland-display=/run/a\nb")},
        {u8("--elevated-shortcuts"), u8("--display=:0"), u8("/some/file.mp3")},
        {u8("--elevated-shortcuts")},
        {u8("song.mp3"), u8("--elevated-shortcuts"), u8("--display=:0")},
    };
    for (const QStringList &arguments : bad)
        EXPECT_FALSE(ElevatedStart::parse(arguments, 0, true)) << arguments.join(u8(" ")).toStdString();
    EXPECT_EQ(ElevatedStart::withoutElevatedOptions(good + QStringList{u8("a.mp3")}), QStringList{u8("a.mp3")});
    EXPECT_EQ(ElevatedStart::withoutElevatedOptions({u8("a.mp3")}), QStringList{u8("a.mp3")});
}

} // namespace
