#include "ui/Tprog.h"

#include "session/ScriptedDialogs.h"
#include "TestApp.h"
#include "app/SonaloApp.h"
#include "support/FakeAudioPlayer.h"
#include "session/Session.h"

#include "QtTestApp.h"
#include "tags/AudioInfo.h"
#include "session/SearchOptionsModel.h"
#include "session/SongTableModel.h"
#include "ui/Tsuchopt.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "support/TestSongs.h"

namespace {

TSongRecord song(const char *artist, const char *title, const char *length, const char *album, const char *path)
{
    TSongRecord r;
    r.Artist = u8(artist);
    r.Title = u8(title);
    r.Length = u8(length);
    r.Album = u8(album);
    r.Path = u8(path);
    return r;
}

const SongList kSongs = {
    song("Queen", "Bohemian Rhapsody", "5:55", "A Night at the Opera", "/music/queen/bohemian.mp3"), // 0
    song("queen", "We Will Rock You", "2:02", "News of the World", "/music/queen/rock.mp3"),         // 1
    song("Queen & Friends", "Live", "3:00", "Live Album", "/music/live/q.mp3"),                     // 2
    song("Abba", "Waterloo", "2:42", "Waterloo", "/music/abba/waterloo.mp3"),                        // 3
    song("Rock Band", "Night Song", "1:15:00", "Long", "/music/rb/n.mp3"),                          // 4
    song("Rock Band", "Day Song", "4:00", "Long", "/music/rb/sub/d.mp3"),                           // 5
};

// An MPEG file of 4500 s (a Xing header claims the frames) with an ID3v1 artist.
QString write75MinuteMp3(const QString &folder)
{
    QByteArray frame(104, '\0'); // MPEG-1 Layer III, 32 kbit/s, 44.1 kHz, stereo
    frame[0] = char(0xFF), frame[1] = char(0xFB), frame[2] = char(0x10), frame[3] = char(0x00);
    QByteArray bytes = frame;
    bytes.replace(36, 4, "Xing");
    bytes[43] = 1; // frame count present
    const quint32 frames = 172266;
    for (int i = 0; i < 4; ++i)
        bytes[44 + i] = char(frames >> (24 - 8 * i));
    bytes += frame + frame;
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(33, 9, "Rock Band");
    // 4500 s at the 1 kbit/s that the frame count gives: 562,500 bytes after the first frame.
    bytes.resize(104 + 562500 - 128, '\0');
    bytes += tag;
    const QString path = folder + u8("/long.mp3");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

class SearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qtTestApp();
        app = std::make_unique<SonaloApp>(testAppOptions(folder.path(), dialogs, players.factory()));
        window = app->prog();
        options = app->suchopt();
        session().lists.replaceAll(kSongs);
        session().list.ShowListStatus();
    }

    Session &session() { return app->session(); }
    SearchController &search() { return session().search; }
    SearchOptionsModel &searchOptions() { return session().searchOptions; }
    const SongTableModel &model() { return session().list.model(); }
    template <typename T>
    T *in(QWidget *w, const char *name) const { return w->findChild<T *>(u8(name)); }
    QAction *item(const char *name) const { return in<QAction>(window, name); }
    void type(const char *term) { in<QLineEdit>(window, "suchwort")->setText(u8(term)); }
    QString status() const { return window->statusLabel()->text(); }
    QStringList foundTitles()
    {
        QStringList t;
        for (const TSongRecord &r : session().lists.FoundSongs())
            t << r.Title;
        return t;
    }
    // Every option control of one view as text, so both views compare at once.
    QString shown(QWidget *view, const char *exactName) const
    {
        QString s;
        for (const char *n : {"s_interpret", "s_titel", "s_laenge", "s_album", "s_track", "s_jahr", "s_genre",
                              "s_datei", "s_grkl", "s_invers", "s_ganz", "s_und", "s_oder", exactName})
            s += in<QAbstractButton>(view, n)->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    std::unique_ptr<SonaloApp> app;
    Tprog *window = nullptr;
    Tsuchopt *options = nullptr;
};

struct SearchCase
{
    const char *term;
    SearchMode mode;
    bool exact, caseSensitive, inverse, regex;
    std::vector<const char *> titles;
};

} // namespace

TEST_F(SearchTest, SuchenClickOverTheWholePlaylist)
{
    using M = SearchMode;
    const SearchCase cases[] = {
        {"ROCK", M::WholeTerm, false, false, false, false, {"We Will Rock You", "Night Song", "Day Song"}},
        {"night rock", M::WholeTerm, false, false, false, false, {}},
        {"night rock", M::And, false, false, false, false, {"Night Song"}},
        {"night rock", M::Or, false, false, false, false,
         {"Bohemian Rhapsody", "We Will Rock You", "Night Song", "Day Song"}},
        {"night rock ", M::And, false, false, false, false, {}}, // the trailing empty word
        {"night rock ", M::Or, false, false, false, false,
         {"Bohemian Rhapsody", "We Will Rock You", "Night Song", "Day Song"}},
        {"Queen", M::WholeTerm, true, false, false, false, {"Bohemian Rhapsody", "We Will Rock You"}},
        {"Queen", M::WholeTerm, true, true, false, false, {"Bohemian Rhapsody"}},
        {"queen", M::WholeTerm, false, false, true, false, {"Waterloo", "Night Song", "Day Song"}},
        {"^queen$", M::WholeTerm, false, false, false, true, {"Bohemian Rhapsody", "We Will Rock You"}},
        {"^queen$", M::WholeTerm, false, true, false, true, {"We Will Rock You"}},
        {"Queen", M::WholeTerm, true, true, false, true, {"Bohemian Rhapsody"}},
    };
    for (const SearchCase &c : cases) {
        SearchOptions o;
        o.mode = c.mode, o.exact = c.exact, o.caseSensitive = c.caseSensitive, o.inverse = c.inverse;
        searchOptions().setOptions(o);
        searchOptions().setRegex(c.regex);
        type("abba"); // a result is shown: the next search still covers the whole playlist
        search().SuchenClick();
        type(c.term);
        in<QPushButton>(window, "Suchen")->click();
        QStringList expected;
        for (const char *t : c.titles)
            expected << u8(t);
        EXPECT_EQ(foundTitles(), expected) << c.term;
        EXPECT_EQ(model().rowCount(), expected.size()) << c.term;
        EXPECT_TRUE(session().lists.ShowingFound());
        EXPECT_TRUE(status().startsWith(QString::number(expected.size()) + u8(" Files Found "))) << c.term;
    }
    EXPECT_EQ(dialogs.errors, QStringList());
}

TEST_F(SearchTest, StatusLineEmptyTermRefreshAndShowAll)
{
    session().lang.setCode(u8("de"));
    type("queen");
    search().SuchenClick();
    EXPECT_EQ(status(), u8("3 Dateien gefunden (10min 57sec)")); // 5:55 + 2:02 + 3:00
    // A change of the playlist re-runs the shown search.
    session().lists.append(song("QUEEN", "New", "1:00", "", "/n.mp3"));
    session().list.ShowListStatus();
    EXPECT_EQ(model().rowCount(), 4);
    EXPECT_TRUE(status().startsWith(u8("4 Dateien geladen (")));
    // The empty term shows everything.
    type("");
    search().SuchenClick();
    EXPECT_FALSE(session().lists.ShowingFound());
    EXPECT_EQ(model().rowCount(), 7);
    type("queen");
    search().SuchenClick();
    item("mp6")->trigger();
    EXPECT_EQ(model().rowCount(), 0);
    EXPECT_EQ(status(), u8("Keine Dateien geladen"));
    EXPECT_EQ(session().lists.AllSongs().size(), 7);
    search().SuchenClick();
    item("mp5")->trigger();
    EXPECT_FALSE(session().lists.ShowingFound());
    EXPECT_EQ(model().rowCount(), 7);
}

TEST_F(SearchTest, RejectedPatternShowsItsTextAndKeepsThePreviousView)
{
    struct Case { const char *pattern, *de, *en; } cases[] = {
        {"(abc", "Fehlende Klammer ()", "Unmatched ()"},
        {"abc)", "Fehlende Klammer ()", "Unmatched ()"},
        {"[abc", "Fehlende Klammer []", "Unmatched []"},
        {"*a", "?+*{ folgt nichts", "?+*{ Follows Nothing"},
        {"a{3,2}", "Min-Quantor größer als Max-Quantor", "Brace Min Param Greater then Max"},
        {"a{99999999}", "Quantor {} zu groß", "Braces Argument Too Big"},
        {"[z-a]", "Invalide Menge []", "Invalid [] Range"},
        {"abc\\", "Abschließendes \\", "Trailing \\"},
        {"(?#abc", "Ungeschlossener (?#Kommentar)", "Unclosed (?#Comment)"},
        {"(?z)", "Unbekannter Modifikator", "Urecognized Modifier"},
        {"\\x{110000}", "HEX Code nach \\x zu groß", "Hex Code After \\x Too Big"},
        {"\\k", "Unbekannter Fehler", "Unknown Error"},
    };
    in<QCheckBox>(window, "regexsuche")->click();
    for (const char *code : {"de", "en", "fr"}) {
        session().lang.setCode(u8(code));
        for (const Case &c : cases) {
            type("queen");
            search().SuchenClick();
            const QString before = status();
            const QStringList found = foundTitles();
            type(c.pattern);
            search().SuchenClick();
            ASSERT_FALSE(dialogs.errors.isEmpty());
            EXPECT_EQ(dialogs.errors.takeLast(), u8(QLatin1String(code) == QLatin1String("en") ? c.en : c.de));
            // The previous result stays, and the table and status line still agree on it.
            EXPECT_TRUE(session().lists.ShowingFound());
            EXPECT_EQ(foundTitles(), found);
            EXPECT_EQ(model().rowCount(), found.size());
            EXPECT_EQ(status(), before);
        }
    }
    // Without a shown result the playlist stays in the table.
    search().AlleClick();
    type("(");
    search().SuchenClick();
    EXPECT_EQ(model().rowCount(), kSongs.size());
}

TEST_F(SearchTest, ANewResultShowsItsFirstRows)
{
    for (int i = 0; i < 300; ++i)
        session().lists.append(song("Queen", "More", "1:00", "", "/m.mp3"));
    session().list.ShowListStatus();
    window->resize(800, 600);
    window->show();
    QScrollBar *bar = window->table()->verticalScrollBar();
    type("queen");
    search().SuchenClick();
    bar->setValue(bar->maximum());
    ASSERT_GT(bar->value(), 0);
    type("Queen");
    search().SuchenClick();
    EXPECT_EQ(bar->value(), 0);
    window->hide();
}

TEST_F(SearchTest, BothViewsShowEveryChange)
{
    SearchOptionsModel &m = searchOptions();
    QWidget *panel = in<QWidget>(window, "pa_suchopt");
    struct Step { QWidget *view; const char *control; const char *expected; } steps[] = {
        // columns (8), case, inverse, whole, AND, OR, exact
        {panel, "s_genre", "11010010" "00" "100" "0"},
        {options, "s_datei", "11010011" "00" "100" "0"},
        {panel, "s_grkl", "11010011" "10" "100" "0"},
        {options, "s_exakt", "11010011" "10" "100" "1"},
        {panel, "s_und", "11010011" "10" "010" "1"},
        {options, "s_oder", "11010011" "10" "001" "1"},
        {options, "s_invers", "11010011" "11" "001" "1"},
        {panel, "sp_rballes", "11111111" "11" "001" "1"},
        {panel, "sp_rbnix", "00000000" "11" "001" "1"},
        {panel, "sp_rbstandard", "11010000" "00" "100" "0"},
        {panel, "s_strexakt", "11010000" "00" "100" "1"},
        {options, "Standard", "11010000" "00" "100" "0"},
    };
    for (const Step &s : steps) {
        in<QAbstractButton>(s.view, s.control)->click();
        EXPECT_EQ(shown(panel, "s_strexakt"), u8(s.expected)) << s.control;
        EXPECT_EQ(shown(options, "s_exakt"), u8(s.expected)) << s.control;
    }
    EXPECT_EQ(m.options(), SearchOptions{});
    EXPECT_TRUE(in<QRadioButton>(panel, "sp_rbstandard")->isChecked());

    // The RegEx box and menu item follow each other; "Standard" leaves the switch alone.
    in<QCheckBox>(window, "regexsuche")->click();
    EXPECT_TRUE(item("m_regexsuche")->isChecked());
    options->StandardClick();
    EXPECT_TRUE(m.regex());
    item("m_regexsuche")->trigger();
    EXPECT_FALSE(in<QCheckBox>(window, "regexsuche")->isChecked());
    EXPECT_FALSE(m.regex());
}

TEST_F(SearchTest, BarPanelAndWindow)
{
    QWidget *bar = in<QWidget>(window, "pa_suche");
    QWidget *panel = in<QWidget>(window, "pa_suchopt");
    item("msuche")->trigger();
    EXPECT_FALSE(bar->isHidden());
    EXPECT_TRUE(item("msuche")->isChecked());
    type("queen");
    search().SuchenClick();
    item("msuche")->trigger(); // hiding the bar shows the whole playlist again
    EXPECT_TRUE(bar->isHidden());
    EXPECT_FALSE(session().lists.ShowingFound());
    EXPECT_EQ(model().rowCount(), kSongs.size());

    in<QPushButton>(window, "Opt")->click();
    EXPECT_FALSE(panel->isHidden());
    EXPECT_FALSE(bar->isHidden());
    EXPECT_TRUE(item("suchoptpanel")->isChecked());
    EXPECT_TRUE(item("msuche")->isChecked());
    item("suchoptpanel")->trigger();
    EXPECT_TRUE(panel->isHidden());
    EXPECT_FALSE(bar->isHidden());

    item("msuche")->trigger();
    item("Suchoptionen1")->trigger();
    EXPECT_TRUE(options->isVisible());
    EXPECT_TRUE(options->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_GE(options->width(), 300);
    EXPECT_GE(options->height(), 470);
    in<QPushButton>(options, "OK")->click();
    EXPECT_FALSE(options->isVisible());
    EXPECT_FALSE(bar->isHidden());
    EXPECT_TRUE(item("msuche")->isChecked());

    for (const char *code : {"de", "en"}) {
        session().lang.setCode(u8(code));
        options->LocalSpr();
        const bool de = session().lang.isDe();
        EXPECT_EQ(options->windowTitle(), u8(de ? "Suchoptionen" : "Search Options"));
        EXPECT_EQ(in<QAbstractButton>(options, "s_exakt")->text(), u8(de ? "Exakter Begriff" : "Exact Term"));
        EXPECT_EQ(in<QAbstractButton>(options, "s_datei")->text(), u8(de ? "Pfad" : "Filepath"));
    }
}

TEST_F(SearchTest, ContextSearchesRestoreTheOptions)
{
    SearchOptions mine;
    mine.mode = SearchMode::Or;
    mine.inverse = true;
    searchOptions().setOptions(mine);
    QWidget *panel = in<QWidget>(window, "pa_suchopt");
    const QString panelBefore = shown(panel, "s_strexakt");

    EXPECT_FALSE(window->popupTable(QPoint(5, 5))); // no row selected
    window->table()->selectRow(1);
    EXPECT_TRUE(window->popupTable(QPoint(5, 5)));
    in<QMenu>(window, "popup")->close();

    struct Case { int k; const char *term; std::vector<const char *> titles; } cases[] = {
        {0, "queen", {"Bohemian Rhapsody", "We Will Rock You"}}, // exact, any case
        {3, "News of the World", {"We Will Rock You"}},
        {7, "/music/queen/", {"Bohemian Rhapsody", "We Will Rock You"}},
    };
    for (const Case &c : cases) {
        search().AlleClick();
        window->table()->selectRow(1);
        item(QStringLiteral("pss%1").arg(c.k).toLatin1().constData())->trigger();
        QStringList expected;
        for (const char *t : c.titles)
            expected << u8(t);
        EXPECT_EQ(in<QLineEdit>(window, "suchwort")->text(), u8(c.term));
        EXPECT_EQ(foundTitles(), expected) << c.k;
        EXPECT_EQ(session().playback.CurrentIndex(), 1);
        EXPECT_TRUE(item("msuche")->isChecked());
        EXPECT_EQ(searchOptions().options(), mine);
        EXPECT_EQ(shown(panel, "s_strexakt"), panelBefore);
        EXPECT_EQ(shown(options, "s_exakt"), panelBefore);
    }
    // The folder search also finds the songs of subfolders.
    search().AlleClick();
    window->table()->selectRow(4);
    search().SongsSuchen(7, window->selectedRow());
    EXPECT_EQ(foundTitles(), QStringList({u8("Night Song"), u8("Day Song")}));
}

TEST_F(SearchTest, ContextSearchFromThePlayingSong)
{
    type("x");
    EXPECT_FALSE(window->popupSongPanel(QPoint(5, 5))); // nothing loaded
    search().AkSongsSuchen(0);
    EXPECT_EQ(in<QLineEdit>(window, "suchwort")->text(), u8("x"));
    EXPECT_FALSE(session().lists.ShowingFound());

    const QString playing = write75MinuteMp3(folder.path());
    ASSERT_FALSE(playing.isEmpty());
    session().playback.lfDblClick(playing);
    ASSERT_TRUE(session().playback.songLoaded());
    session().playback.setCurrentIndex(-1);
    EXPECT_TRUE(window->popupSongPanel(QPoint(5, 5)));
    in<QMenu>(window, "akpopup")->close();
    // 75 minutes are 75:00 here but 1:15:00 in the table: nothing is found.
    item("akp7")->trigger();
    EXPECT_EQ(in<QLineEdit>(window, "suchwort")->text(), u8("75:00"));
    EXPECT_TRUE(session().lists.FoundSongs().isEmpty());
    EXPECT_TRUE(session().lists.ShowingFound());
    item("akp5")->trigger();
    EXPECT_EQ(foundTitles(), QStringList({u8("Night Song"), u8("Day Song")}));
    EXPECT_EQ(session().playback.CurrentIndex(), -1); // the playing song leaves CurrentIndex alone
    EXPECT_EQ(searchOptions().options(), SearchOptions{});
}
