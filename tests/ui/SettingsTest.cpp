#include "session/ScriptedDialogs.h"
#include "TestApp.h"
#include "QtTestApp.h"
#include "app/SonaloApp.h"
#include "core/SettingsFile.h"
#include "support/FakeAudioPlayer.h"
#include "ui/Mnemonics.h"
#include "session/Session.h"
#include "ui/Tprog.h"
#include "ui/Tequalizer.h"
#include "playback/EqualizerModel.h"

#include <QAction>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>
#include "support/TestSongs.h"

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qtTestApp();
        ASSERT_TRUE(folder.isValid());
        start();
    }

    void start()
    {
        app.reset();
        app = std::make_unique<SonaloApp>(testAppOptions(folder.path(), dialogs, players.factory()));
        window = app->prog();
    }

    Session &session() { return app->session(); }
    SettingsController &settings() { return session().settings; }
    QString iniPath() const { return folder.path() + u8("/mp3player.ini"); }
    QAction *item(const char *name) const { return window->findChild<QAction *>(u8(name)); }
    void writeIni(const QByteArray &bytes) const
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readIni() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::optional<QString> fileValue(const char *section, const char *key) const
    {
        return IniFile::parse(readIni()).value(QLatin1String(section), QLatin1String(key));
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    std::unique_ptr<SonaloApp> app;
    Tprog *window = nullptr;
};

} // namespace

TEST_F(SettingsTest, EveryKeyPersistsThroughARestart)
{
    writeIni("; my notes\n[programm]\nfremd=bleibt\n[andere]\nx=1\n");
    window->show();
    window->setSettingsPlacement(QRect(20, 30, 1000, 700));
    for (int c = 0; c < 9; ++c)
        window->table()->setColumnWidth(c, 40 + c);
    session().display.setRandomOrder(false);
    session().search.showBarAndFocus();
    SearchOptions o;
    o.columns = {false, true, true, false, false, true, true, false};
    o.caseSensitive = true;
    o.inverse = true;
    o.mode = SearchMode::Or;
    session().searchOptions.setOptions(o);
    window->Deutsch1Click();
    item("saatg")->trigger();
    item("saheader")->trigger();
    item("sastatus")->trigger();
    item("einstautosave")->trigger();
    item("einstautoload")->trigger();
    item("einstsave")->trigger();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u8("\n")).toStdString();

    // Every key in its section, in the written order, after what others wrote.
    QStringList written;
    QString section;
    for (const QByteArray &line : readIni().split('\n')) {
        if (line.startsWith('['))
            section = QString::fromUtf8(line.mid(1, line.indexOf(']') - 1));
        else if (line.contains('=') && section != u8("andere") && !line.startsWith("fremd"))
            written << section + u8("/") + QString::fromUtf8(line.left(line.indexOf('=')));
    }
    QStringList expected;
    for (const SettingsFile::Key &k : SettingsFile::keys())
        expected << QLatin1String(k.section) + u8("/") + QLatin1String(k.name);
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(readIni().startsWith("; my notes\n[programm]\nfremd=bleibt\nmaximiert=0\n"));
    EXPECT_TRUE(readIni().contains("\n[andere]\nx=1\n"));

    start();
    ASSERT_EQ(session().lang.code(), u8("en"));
    window->show();
    item("einstload")->trigger();
    EXPECT_EQ(window->settingsPlacement(), QRect(20, 30, 1000, 700));
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(window->table()->columnWidth(c), 40 + c) << c;
    EXPECT_FALSE(session().display.randomOrder());
    EXPECT_TRUE(session().search.searchBarShown());
    EXPECT_FALSE(session().search.optionsPanelShown());
    EXPECT_EQ(session().searchOptions.options(), o);
    EXPECT_EQ(session().lang.code(), u8("de"));
    EXPECT_EQ(Mnemonics::visibleText(item("mdatei")->text()), u8("Datei"));
    EXPECT_EQ(session().display.mode(), SongDisplayMode::ArtistTitleGenre);
    EXPECT_TRUE(item("saatg")->isChecked());
    EXPECT_TRUE(session().display.inTitle());
    EXPECT_FALSE(session().display.inStatus());
    EXPECT_TRUE(settings().autoSave());
    EXPECT_TRUE(item("einstautosave")->isChecked());
    EXPECT_FALSE(settings().autoLoad());
    EXPECT_FALSE(item("einstautoload")->isChecked());
}

TEST_F(SettingsTest, FreshStartUsesTheDesignStatesAndWritesNothing)
{
    window->show();
    window->FormActivate();
    EXPECT_TRUE(item("zufall")->isChecked());
    EXPECT_FALSE(session().search.searchBarShown());
    EXPECT_TRUE(item("saat")->isChecked());
    EXPECT_TRUE(item("einstautoload")->isChecked());
    EXPECT_FALSE(item("einstautosave")->isChecked());
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_FALSE(QFile::exists(folder.path() + u8("/config/mp3player.ini")));
}

TEST_F(SettingsTest, MaximizedSaveKeepsTheLastNormalPlacement)
{
    writeIni("[programm]\nbreite=777\nhoehe=555\nlinks=1\noben=2\n");
    window->show();
    window->settingsMaximize();
    ASSERT_TRUE(window->settingsMaximized());
    ASSERT_TRUE(settings().SaveSettings());
    EXPECT_EQ(fileValue("programm", "maximiert"), u8("1"));
    EXPECT_EQ(fileValue("programm", "breite"), u8("777"));
    EXPECT_EQ(fileValue("programm", "oben"), u8("2"));
    EXPECT_EQ(fileValue("programm", "spalte_num"), u8("65"));

    // Loaded back: maximized again; maximiert=0 restores the stored placement.
    window->settingsRestoreNormal();
    settings().LoadSettings();
    EXPECT_TRUE(window->settingsMaximized());
    writeIni("[programm]\nmaximiert=0\nbreite=800\nhoehe=600\nlinks=5\noben=6\nspalte_num=-4\n");
    settings().LoadSettings();
    EXPECT_FALSE(window->settingsMaximized());
    EXPECT_EQ(window->settingsPlacement(), QRect(5, 6, 800, 600));
    EXPECT_EQ(window->table()->columnWidth(0), 65); // a negative width is none
}

TEST_F(SettingsTest, OddValuesAtTheFirstActivation)
{
    // Hexadecimal and "$" booleans; a value that is no number keeps the state; a display mode
    // naming none leaves all five unticked; the options panel brings the search bar with it.
    writeIni("[wiedergabe]\nzufall=0x0\n[suche]\nsucheoffen=0\noptionenoffen=$1\n"
             "[einstellungen]\nheaderanzeige=$1\nstatusbaranzeige=abc\nsonganzeige=abc\nautoload=0X1F\n");
    window->show();
    window->FormActivate();
    EXPECT_FALSE(session().display.randomOrder());
    EXPECT_TRUE(session().display.inTitle());
    EXPECT_TRUE(session().display.inStatus());
    EXPECT_EQ(session().display.mode(), SongDisplayMode::None);
    for (const char *mode : {"saat", "saata", "saatta", "saatg", "saf"})
        EXPECT_FALSE(item(mode)->isChecked()) << mode;
    EXPECT_TRUE(session().search.optionsPanelShown());
    EXPECT_TRUE(session().search.searchBarShown());
    EXPECT_TRUE(item("msuche")->isChecked());
    EXPECT_TRUE(item("suchoptpanel")->isChecked());
    // Only once.
    session().display.setRandomOrder(true);
    window->FormActivate();
    EXPECT_TRUE(session().display.randomOrder());
}

TEST_F(SettingsTest, AutoloadOffIsNotReadAtStartButLoadingNowReadsIt)
{
    writeIni("[wiedergabe]\nzufall=0\n[einstellungen]\nautoload=0\n");
    window->show();
    window->FormActivate();
    EXPECT_TRUE(session().display.randomOrder());
    EXPECT_TRUE(item("einstautoload")->isChecked());
    item("einstload")->trigger();
    EXPECT_FALSE(session().display.randomOrder());
    EXPECT_FALSE(item("einstautoload")->isChecked());
}

TEST_F(SettingsTest, ColumnShortcutsAndModesActAsClicks)
{
    struct Case
    {
        const char *file;
        std::array<bool, 8> columns;
        bool caseSensitive;
        SearchMode mode;
    };
    const Case cases[] = {
        {"[suchspalten]\nalle=1\n", {true, true, true, true, true, true, true, true}, false, SearchMode::Or},
        {"[suchspalten]\nkeine=1\n[suchkriterien]\nund=1\n", {}, false, SearchMode::And},
        // "Standard" resets the criteria too; those read after it count, and a mode set to 0
        // leaves one ticked.
        {"[suchspalten]\ngenre=1\nstandard=1\n[suchkriterien]\ngrossklein=1\nganz=0\n",
         {true, true, false, true, false, false, false, false}, true, SearchMode::WholeTerm},
    };
    for (const Case &c : cases) {
        SearchOptions start;
        start.inverse = true;
        start.mode = SearchMode::Or;
        session().searchOptions.setOptions(start);
        settings().apply(IniFile::parse(c.file));
        const SearchOptions &o = session().searchOptions.options();
        EXPECT_EQ(o.columns, c.columns) << c.file;
        EXPECT_EQ(o.caseSensitive, c.caseSensitive) << c.file;
        EXPECT_EQ(o.mode, c.mode) << c.file;
    }
}

TEST_F(SettingsTest, LanguageFromTheFileSwitchesEveryWindow)
{
    // English reference titles, then a German start that the file switches to English.
    QStringList english;
    for (QWidget *w : app->windows())
        english << w->windowTitle();
    QFile(folder.path() + u8("/de")).open(QIODevice::WriteOnly);
    start();
    ASSERT_EQ(session().lang.code(), u8("de"));
    QStringList german;
    for (QWidget *w : app->windows())
        german << w->windowTitle();
    ASSERT_NE(german, english);
    writeIni("[einstellungen]\nsprache=en\n");
    window->show();
    window->FormActivate();
    QStringList now;
    for (QWidget *w : app->windows())
        now << w->windowTitle();
    EXPECT_EQ(now, english);
    EXPECT_EQ(Mnemonics::visibleText(item("mdatei")->text()), u8("File"));
    // A code the language menu does not offer changes nothing.
    settings().apply(IniFile::parse("[einstellungen]\nsprache=fr\n"));
    EXPECT_EQ(session().lang.code(), u8("en"));
}

TEST_F(SettingsTest, FailedAutosaveKeepsTheWindowOpenUntilSwitchedOff)
{
    writeIni("[wiedergabe]\nzufall=1\n");
    window->show();
    item("einstautosave")->trigger();
    session().display.setRandomOrder(false);
    const bool root = ::geteuid() == 0;
    // Root writes into any folder: a folder in the file's place stops it instead.
    if (root) {
        QFile::remove(iniPath());
        QDir(folder.path()).mkpath(u8("mp3player.ini/x"));
    } else {
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.errors, QStringList{u8("Unable to write to ") + iniPath()});
    if (!root) {
        EXPECT_EQ(readIni(), QByteArray("[wiedergabe]\nzufall=1\n"));
    }
    item("einstautosave")->trigger();
    window->close();
    EXPECT_FALSE(window->isVisible());
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(SettingsTest, VolumeAndMuteHaveKeysOfTheirOwn)
{
    // The slider and the mute button set the level; saving keeps it, a new start reads it.
    auto *slider = window->findChild<QSlider *>(u8("lautstaerke"));
    auto *mute = window->findChild<QAbstractButton *>(u8("stumm"));
    ASSERT_TRUE(slider && mute);
    EXPECT_EQ(slider->value(), 100);
    // A click on the groove a quarter along jumps there, as on the position bar (not a page step).
    const QPoint quarter(slider->width() / 4, slider->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, quarter, slider->mapToGlobal(quarter), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &click);
    }
    EXPECT_GT(session().playback.volumePercent(), 10);
    EXPECT_LT(session().playback.volumePercent(), 40);
    slider->setValue(35);
    mute->click();
    EXPECT_EQ(session().playback.volumePercent(), 35);
    EXPECT_TRUE(session().playback.muted());
    ASSERT_TRUE(settings().SaveSettings());
    EXPECT_EQ(fileValue("wiedergabe", "lautstaerke"), u8("35"));
    EXPECT_EQ(fileValue("wiedergabe", "stumm"), u8("1"));
    start();
    window->show();
    window->FormActivate();
    slider = window->findChild<QSlider *>(u8("lautstaerke"));
    mute = window->findChild<QAbstractButton *>(u8("stumm"));
    EXPECT_EQ(session().playback.volumePercent(), 35);
    EXPECT_EQ(slider->value(), 35);
    EXPECT_TRUE(mute->isChecked());
    // Out of range ends at the bound; a value that is no number keeps the level.
    writeIni("[wiedergabe]\nlautstaerke=400\nstumm=0\n");
    item("einstload")->trigger();
    EXPECT_EQ(session().playback.volumePercent(), 100);
    EXPECT_FALSE(mute->isChecked());
    writeIni("[wiedergabe]\nlautstaerke=laut\n");
    item("einstload")->trigger();
    EXPECT_EQ(session().playback.volumePercent(), 100);
}

TEST_F(SettingsTest, LastPlaylistIsRestoredOnlyWhenTickedAndStartedWithoutArguments)
{
    const QString last = folder.path() + u8("/data/last-playlist.slp");
    {
        QFile beside(folder.path() + u8("/beside.slp"));
        ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
        beside.write("Beside|Song|0:01|||||/music/beside.mp3\r\n");
    }
    auto shownPaths = [&] {
        QStringList paths;
        for (const TSongRecord &r : session().lists.AllSongs())
            paths << r.Path;
        return paths;
    };
    window->show(); // off by default: the playlist beside the program, as always
    EXPECT_FALSE(item("einstlastplaylist")->isChecked());
    EXPECT_EQ(shownPaths(), QStringList{u8("/music/beside.mp3")});
    TSongRecord r;
    r.Path = u8("/music/Ärger – ☃.mp3");
    r.Artist = u8("Björk");
    session().lists.replaceAll({r});
    item("einstlastplaylist")->trigger();
    ASSERT_TRUE(settings().SaveSettings());
    EXPECT_EQ(fileValue("einstellungen", "letzteplaylist"), u8("1"));
    EXPECT_TRUE(window->close());
    QFile kept(last);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().contains(u8("Ärger – ☃").toUtf8())); // UTF-8
    kept.close();

    start(); // a second start without arguments: the last playlist, not the one beside
    window->show();
    EXPECT_EQ(shownPaths(), QStringList{u8("/music/Ärger – ☃.mp3")});
    EXPECT_TRUE(session().playlist.PlaylistFolderList().isEmpty());
    window->FormActivate();
    EXPECT_TRUE(item("einstlastplaylist")->isChecked());

    // With arguments the start opens them only.
    EXPECT_TRUE(window->close());
    app.reset();
    SonaloApp::Options withArgs = testAppOptions(folder.path(), dialogs, players.factory());
    withArgs.arguments = {folder.path() + u8("/beside.slp")};
    app = std::make_unique<SonaloApp>(withArgs);
    window = app->prog();
    window->show();
    EXPECT_EQ(shownPaths(), QStringList{u8("/music/beside.mp3")});

    // A last playlist that cannot be kept keeps the window open with the message.
    window->FormActivate();
    QFile::remove(last);
    QDir().mkpath(last); // a folder where the file goes
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_FALSE(dialogs.errors.isEmpty());
    QDir(last).removeRecursively();
    dialogs.errors.clear();

    // Switched off and saved: the next start is the designed one again.
    item("einstlastplaylist")->trigger();
    ASSERT_TRUE(settings().SaveSettings());
    EXPECT_TRUE(window->close());
    start();
    window->show();
    EXPECT_EQ(shownPaths(), QStringList{u8("/music/beside.mp3")});
}

TEST_F(SettingsTest, GaplessPlayIsOnUntilSwitchedOffAndKept)
{
    EXPECT_TRUE(item("lueckenlos")->isChecked());
    item("lueckenlos")->trigger();
    EXPECT_FALSE(session().display.gapless());
    ASSERT_TRUE(settings().SaveSettings());
    EXPECT_EQ(fileValue("wiedergabe", "lueckenlos"), u8("0"));
    writeIni("[wiedergabe]\nlueckenlos=1\n");
    item("einstload")->trigger();
    EXPECT_TRUE(session().display.gapless());
    EXPECT_TRUE(item("lueckenlos")->isChecked());
}

TEST_F(SettingsTest, TheOutputDeviceMenuChoosesDeviceIndexAndKeepsIt)
{
    window->setAudioDevices({u8("Default"), u8("Null Output"), u8("Headphones")});
    EXPECT_TRUE(window->findChild<QAction *>(u8("mw_geraet_0"))->isChecked());
    window->findChild<QAction *>(u8("mw_geraet_2"))->trigger();
    EXPECT_EQ(session().playback.deviceIndex(), 2);
    EXPECT_FALSE(window->findChild<QAction *>(u8("mw_geraet_0"))->isChecked());
    ASSERT_TRUE(settings().SaveSettings());
    EXPECT_EQ(fileValue("wiedergabe", "DeviceIndex"), u8("2"));
    // A device gone since: the default is ticked, and the player plays there.
    writeIni("[wiedergabe]\nDeviceIndex=7\n");
    item("einstload")->trigger();
    EXPECT_EQ(session().playback.deviceIndex(), 7);
    EXPECT_TRUE(window->findChild<QAction *>(u8("mw_geraet_0"))->isChecked());
}

TEST_F(SettingsTest, TheReplayGainMenuSetsTheModelAndTheFileKeepsIt)
{
    ReplayGainModel &rg = session().playback.replayGain();
    EXPECT_TRUE(item("rg_aus")->isChecked());
    EXPECT_TRUE(item("rg_vorverstaerkung_0")->isChecked());
    EXPECT_TRUE(item("rg_clipschutz")->isChecked());
    item("rg_auto")->trigger();
    item("rg_vorverstaerkung_6")->trigger();
    item("rg_ohnewerte_-3")->trigger();
    item("rg_clipschutz")->trigger();
    EXPECT_EQ(rg.mode(), ReplayGainModel::Mode::Automatic);
    EXPECT_EQ(rg.preampDb(), 6.0);
    EXPECT_EQ(rg.defaultDb(), -3.0);
    EXPECT_FALSE(rg.preventClipping());
    EXPECT_FALSE(item("rg_aus")->isChecked());
    EXPECT_EQ(Mnemonics::visibleText(item("rg_vorverstaerkung_6")->text()), u8("+6 dB"));
    ASSERT_TRUE(settings().SaveSettings());
    const struct { const char *key, *value; } saved[] = {
        {"replaygain", "3"}, {"replaygain_vorverstaerkung", "6"}, {"replaygain_ohnewerte", "-3"}, {"replaygain_clipschutz", "0"}};
    for (const auto &k : saved)
        EXPECT_EQ(fileValue("wiedergabe", k.key), QLatin1String(k.value)) << k.key;
    // A mode the program does not know is ignored; gains end at their bounds.
    writeIni("[wiedergabe]\nreplaygain=9\nreplaygain_vorverstaerkung=99\nreplaygain_ohnewerte=-6\nreplaygain_clipschutz=1\n");
    item("einstload")->trigger();
    EXPECT_EQ(rg.mode(), ReplayGainModel::Mode::Automatic);
    EXPECT_EQ(rg.preampDb(), ReplayGainModel::kMaxDb);
    EXPECT_TRUE(item("rg_ohnewerte_-6")->isChecked());
    EXPECT_TRUE(item("rg_clipschutz")->isChecked());
}

TEST_F(SettingsTest, TheEqualizerWindowSetsTheBandsLiveAndTheFileKeepsThem)
{
    Tequalizer *w = app->equalizer();
    EqualizerModel &eq = session().playback.equalizer();
    EXPECT_FALSE(w->eq_an->isChecked());
    w->eq_an->setChecked(true);
    EXPECT_TRUE(eq.enabled());
    w->eq_vorlage->setCurrentIndex(1);
    Q_EMIT w->eq_vorlage->activated(1); // Rock
    EXPECT_EQ(eq.gains(), EqualizerModel::presetGains(1));
    EXPECT_EQ(w->eq_band[0]->value(), 5);
    w->eq_band[5]->setValue(12);
    EXPECT_EQ(eq.gains()[5], 12.0);
    EXPECT_EQ(w->eq_vorlage->currentIndex(), EqualizerModel::kPresetCount); // "Custom"
    ASSERT_TRUE(settings().SaveSettings());
    EXPECT_EQ(fileValue("equalizer", "an"), u8("1"));
    EXPECT_EQ(fileValue("equalizer", "vorlage"), u8("-1"));
    EXPECT_EQ(fileValue("equalizer", "band5"), u8("12"));
    start();
    window->show();
    window->FormActivate();
    EqualizerModel &again = session().playback.equalizer();
    EXPECT_TRUE(again.enabled());
    EXPECT_EQ(again.gains()[5], 12.0);
    EXPECT_EQ(again.gains()[0], 5.0);
    EXPECT_TRUE(app->equalizer()->eq_an->isChecked());
    EXPECT_EQ(app->equalizer()->eq_band[5]->value(), 12);
}

// Shuffle with every song once has a key of its own; zufall keeps its meaning beside it.
TEST_F(SettingsTest, ShuffleOnceHasItsOwnKey)
{
    struct Case
    {
        const char *file;
        bool random, once;
        const char *savedZufall, *savedOnce;
    };
    const Case cases[] = {
        {"[wiedergabe]\nzufall=0\nzufall_einmal=1\n", false, true, "0", "1"},
        {"[wiedergabe]\nzufall=1\nzufall_einmal=1\n", false, true, "0", "1"}, // hand-written: once wins
        {"[wiedergabe]\nzufall=1\nzufall_einmal=0\n", true, false, "1", "0"},
        {"[wiedergabe]\nzufall=0\n", false, false, "0", "0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        session().display.setShuffleOnce(false);
        session().display.setRandomOrder(true);
        writeIni(c.file);
        item("einstload")->trigger();
        EXPECT_EQ(session().display.randomOrder(), c.random);
        EXPECT_EQ(session().display.shuffleOnce(), c.once);
        EXPECT_EQ(item("zufall_einmal")->isChecked(), c.once);
        item("einstsave")->trigger();
        EXPECT_EQ(fileValue("wiedergabe", "zufall"), QLatin1String(c.savedZufall));
        EXPECT_EQ(fileValue("wiedergabe", "zufall_einmal"), QLatin1String(c.savedOnce));
    }
}
