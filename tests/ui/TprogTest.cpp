#include "ui/Tprog.h"
#include "ui/Mnemonics.h"

#include "session/SessionFixture.h"
#include "QtTestApp.h"
#include "session/SongTableModel.h"
#include "ui/QueuePanel.h"

#include "core/Playlist.h"

#include <QAction>
#include <QDockWidget>
#include <QKeyEvent>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>

namespace {

// The texts as the window must show them: component, German, English, shortcut.
struct Expected
{
    const char *component;
    const char *de;
    const char *en;
    const char *key;
};

const Expected kMenu[] = {
    {"mdatei", "Datei", "File", ""},
    {"m_opendatei", "Datei oder Dateien öffnen..", "Open File or Files..", ""},
    {"m_openordner", "Ordner durchsuchen..", "Search in Folder..", ""},
    {"mtxtexport", "Export als Text/HTML Tabelle..", "Export as Text/HTML Table..", ""},
    {"mclose", "Beenden", "Close", ""},
    {"mwiedergabe", "Wiedergabe", "Play", ""},
    {"mw1", "Play", "Play", "F2"},
    {"mw2", "Stop", "Stop", "F3"},
    {"mw3", "Letztes Stück", "Previous Song", "F4"},
    {"mw4", "Nächstes Stück", "Next Song", "F5"},
    {"mw_laufend", "Zum laufenden Titel", "Jump to Playing Song", "Ctrl+J"},
    {"Wiederholen", "Wiederholen", "Repeat", ""},
    {"mw5", "Letzte Stücke Anzeigen..", "Show Last Songs..", "Ctrl+L"},
    {"mw6", "Infos über aktuellen Song..", "Current Song Information..", ""},
    {"m_fehler", "Fehlermeldungen..", "Error Messages..", ""},
    {"zufall", "Zufällige Wiedergabe", "Random Order", ""},
    {"zufall_einmal", "Zufällig ohne Wiederholung", "Shuffle (every song once)", ""},
    {"mw_stopafter", "Nach diesem Titel anhalten", "Stop After This Song", ""},
    {"mw_queue", "Warteschlange anzeigen", "Show Queue", "Ctrl+Shift+E"},
    {"lueckenlos", "Lückenlose Wiedergabe", "Gapless Playback", ""},
    {"m_equalizer", "Equalizer..", "Equalizer..", ""},
    {"mw_geraet", "Ausgabegerät", "Output Device", ""},
    {"mp0", "Playlist", "Playlist", ""},
    {"mp1", "Playlist Laden", "Load Playlist", ""},
    {"mp3", "Playlist Hinzuladen", "Add Playlist", "Ctrl+O"},
    {"mp2", "Playlist Speichern", "Save Playlist", "Ctrl+S"},
    {"mp4", "Ordner Hinzufügen", "Add Folders", "Ctrl+N"},
    {"mp9", "Alle Songs markieren", "Select All Songs", "Ctrl+A"},
    {"mp10", "Markierte Songs in die Zwischenablage", "Copy selected Songs to Clipboard", "Ctrl+C"},
    {"mp11", "Songs aus Zwischenablage einfügen", "Insert Songs from Clipboard", "Ctrl+V"},
    {"mp5", "Alle Songs zeigen", "Show All Songs", ""},
    {"mp6", "Alle Songs verbergen", "Hide All Songs", ""},
    {"mp7", "Playlist Löschen", "Delete Playlist", "Ctrl+Del"},
    {"mp8", "Markierten Titel Löschen", "Delete Selected Song", "Del"},
    {"mp_undo", "Rückgängig", "Undo", "Ctrl+Z"},
    {"mp_redo", "Wiederherstellen", "Redo", "Ctrl+Shift+Z"},
    {"mp_queue", "In Warteschlange", "Add to Queue", "Ctrl+E"},
    {"Suche1", "Suche", "Search", ""},
    {"msuche", "Suche", "Search", "Ctrl+F"},
    {"suchoptpanel", "Suchoptionen (auf Panel)", "Search Options (on panel)", ""},
    {"Suchoptionen1", "Suchoptionen (in neuem Fenster)", "Search Options (in new window)", ""},
    {"m_regexsuche", "Suchen mit Regulären Ausdrücken (RegEx)", "Search with Regular Expressions (RegEx)", ""},
    {"ergalsemp", "Ergebnis als Playlist speichern", "Save Result as Playlist", ""},
    {"Einstellungen1", "Einstellungen", "Settings", ""},
    {"sa", "Songanzeige", "Song Information", ""},
    {"saat", "Interpret - Titel", "Artist - Title", ""},
    {"saata", "Interpret - Titel (Album)", "Artist - Title (Album)", ""},
    {"saatta", "Interpret - Titel (Album, Track)", "Artist - Title (Album, Track)", ""},
    {"saatg", "Interpret - Titel (Genre)", "Artist - Title (Genre)", ""},
    {"saf", "Pfad und Dateiname", "Path and Filename", ""},
    {"saheader", "Anzeige im Programmtitel", "Display in Application Title", ""},
    {"sastatus", "Anzeige in der Statusbar", "Display in Status Bar", ""},
    {"Sprache1", "Sprache", "Language", ""},
    {"Deutsch1", "Deutsch", "German", ""},
    {"English1", "English", "English", ""},
    {"m_einstshortcuts", "Verknüpfungen mit Dateien und Ordnern..", "Shortcuts with Files and Folders..", ""},
    {"so", "Speicheroptionen..", "Saving Options..", ""},
    {"einstsave", "Einstellungen jetzt speichern", "Save Settings", ""},
    {"einstload", "Einstellungen jetzt laden", "Load Settings", ""},
    {"einstautosave", "Einstellungen automatisch speichern", "Save Settings automatically", ""},
    {"einstautoload", "Einstellungen automatisch laden", "Load Settings automatically", ""},
    {"einstlastplaylist", "Letzte Playlist beim Start laden", "Restore Last Playlist at Start", ""},
    {"p1", "Titel abspielen", "Play Song", ""},
    {"pop_title_next", "Als nächsten Titel abspielen", "Play as Next Song", ""},
    {"p_queue", "In Warteschlange", "Add to Queue", "Ctrl+E"},
    {"p3", "Informationen über Datei anzeigen", "Show File Information", ""},
    {"p6", "Datei Eigenschaften", "Properties", ""},
    {"p_copyfile", "Datei(en) in die Zwischenablage kopieren", "Copy File(s) to Clipboard", "Ctrl+C"},
    {"p5", "Übergeordneten Ordner öffnen", "Open File Folder", "Ctrl+Q"},
    {"pss0", "Songs von diesem Interpreten..", "Songs by this Artist..", ""},
    {"pss1", "Songs mit diesem Titel..", "Songs with this Title..", ""},
    {"pss2", "Songs mit dieser Länge..", "Songs with this Length..", ""},
    {"pss3", "Songs von diesem Album..", "Songs from this Album..", ""},
    {"pss4", "Songs mit dieser Tracknummer..", "Songs with this Track Number..", ""},
    {"pss5", "Songs aus diesem Jahr..", "Songs composed in this Year..", ""},
    {"pss6", "Songs mit diesem Genre..", "Songs with this Genre..", ""},
    {"pss7", "Songs im selben Ordner..", "Songs in same Folder..", ""},
    {"p4", "Song aus Playlist löschen", "Delete Song from Playlist", "Del"},
    {"akp1", "Informationen über Datei anzeigen", "Show File Information", ""},
    {"akp2", "Datei Eigenschaften", "Properties", ""},
    {"akp3", "Übergeordneten Ordner öffnen", "Open File Folder", ""},
    {"akp4", "Datei in Zwischenablage kopieren", "Copy File To Clipboard", ""},
    {"akp5", "Songs von diesem Interpreten..", "Songs by this Artist..", ""},
    {"akp6", "Songs mit diesem Titel..", "Songs with this Title..", ""},
    {"akp7", "Songs mit dieser Länge..", "Songs with this Length..", ""},
    {"akp8", "Songs von diesem Album..", "Songs from this Album..", ""},
    {"akp9", "Songs mit dieser Tracknummer..", "Songs with this Track Number..", ""},
    {"akp10", "Songs aus diesem Jahr..", "Songs composed in this Year..", ""},
    {"akp11", "Songs mit diesem Genre..", "Songs with this Genre..", ""},
    {"akp12", "Songs im selben Ordner..", "Songs in same Folder..", ""},
};

// Search bar and panel: component, German caption, German hint, English caption, English hint.
const char *const kSearch[][5] = {
    {"Suchen", "Suchen", "Nach diesem Begriff Suchen", "Search", "Search for this Term"},
    {"Opt", "Optionen", "Suchoptionen Anzeigen", "Options", "Show Search Options"},
    {"Alle", "Alle Zeigen", "Alle Titel der Playlist Zeigen", "Show All", "Show All Songs from Playlist"},
    {"s_grkl", "Groß und Klein", "Groß- und Kleinbuchstaben werden unterschieden", "Lower and Upper",
     "Differ Lower and Upper Characters"},
    {"s_strexakt", "Exakter Begriff", "", "Exact Term", ""},
    {"s_ganz", "Ganzes Wort", "", "Whole Term", ""},
    {"s_und", "UND-Suche", "", "AND-Relation", ""},
    {"s_oder", "ODER-Suche", "", "OR-Relation", ""},
    {"s_invers", "Inverse Suche", "", "Inverse Search", ""},
    {"s_interpret", "Interpret", "", "Artist", ""},
    {"s_titel", "Titel", "", "Title", ""},
    {"s_laenge", "Länge", "", "Length", ""},
    {"s_album", "Album", "", "Album", ""},
    {"s_track", "Track", "", "Track", ""},
    {"s_jahr", "Jahr", "", "Year", ""},
    {"s_genre", "Genre", "", "Genre", ""},
    {"s_datei", "Pfad", "", "Filepath", ""},
    {"sp_gb1", "Suche: Spalten", "", "Search: Columns", ""},
    {"sp_rballes", "Alle Spalten", "", "All Columns", ""},
    {"sp_rbnix", "Keine Spalte", "", "No Column", ""},
    {"sp_rbstandard", "Standard", "", "Standard", ""},
    {"sp_gb2", "Suche: Kriterien", "", "Search: Criteria", ""},
};

const char *const kColumnsDe[] = {"Nummer", "Interpret", "Titel", "Länge", "Album", "Track", "Jahr", "Genre", "Dateipfad"};
const char *const kColumnsEn[] = {"Number", "Artist", "Title", "Length", "Album", "Track", "Year", "Genre", "File"};

class TprogTest : public SessionFixture
{
protected:
    Tprog &makeWindow(QStringList arguments = {})
    {
        window = std::make_unique<Tprog>(*session, std::move(arguments));
        return *window;
    }

    QString cell(int row, int column) const
    {
        const SongTableModel &m = session->list.model();
        return m.data(m.index(row, column), Qt::DisplayRole).toString();
    }

    QString statusText() const { return window->statusLabel()->text(); }
    QAction *item(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    const SongList &songs() { return session->lists.AllSongs(); }

    std::unique_ptr<Tprog> window;
};

} // namespace

TEST_F(TprogTest, EveryTextInBothLanguages)
{
    Tprog &w = makeWindow();
    for (const char *code : {"de", "en"}) {
        const bool de = QLatin1String(code) == QLatin1String("de");
        de ? w.Deutsch1Click() : w.English1Click();
        for (const Expected &e : kMenu) {
            QAction *a = item(e.component);
            ASSERT_NE(a, nullptr) << e.component;
            EXPECT_EQ(Mnemonics::visibleText(a->text()), u8(de ? e.de : e.en)) << e.component << " " << code;
            EXPECT_EQ(a->shortcut(), QKeySequence(u8(e.key))) << e.component;
        }
        for (const auto &s : kSearch) {
            auto *control = w.findChild<QWidget *>(u8(s[0]));
            ASSERT_NE(control, nullptr) << s[0];
            const QString caption = qobject_cast<QGroupBox *>(control)
                                        ? qobject_cast<QGroupBox *>(control)->title()
                                        : qobject_cast<QAbstractButton *>(control)->text();
            EXPECT_EQ(caption, u8(de ? s[1] : s[3])) << s[0];
            EXPECT_EQ(control->toolTip(), u8(de ? s[2] : s[4])) << s[0];
        }
        for (int c = 0; c < SongTableModel::kColumnCount; ++c)
            EXPECT_EQ(session->list.model().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                      u8(de ? kColumnsDe[c] : kColumnsEn[c]));
        EXPECT_EQ(statusText(), u8(de ? "Keine Dateien geladen" : "No Files Loaded"));
        EXPECT_EQ(item("Deutsch1")->isChecked(), de);
        EXPECT_EQ(item("English1")->isChecked(), !de);
        EXPECT_TRUE(session->playlist.openAudioFilesFilter().contains(u8(de ? "Alle Dateien (*.*)" : "All Files (*.*)")));
        EXPECT_FALSE(session->playlist.openAudioFilesFilter().contains(u8(de ? "All Files" : "Alle Dateien")));
    }
    EXPECT_EQ(w.windowTitle(), u8("Sonalo - Orvel Media"));
}

TEST_F(TprogTest, ContextMenusAreGroupedAndTheLanguagesAreRadioItems)
{
    makeWindow();
    auto layout = [this](const char *menu) {
        QStringList names;
        for (const QAction *a : window->findChild<QMenu *>(QLatin1String(menu))->actions())
            names.append(a->isSeparator() ? u8("|") : a->objectName());
        return names.join(QLatin1Char(' '));
    };
    EXPECT_EQ(layout("popup"), u8("p1 pop_title_next p_queue | p3 p6 p_copyfile p5 | pss0 pss1 pss2 pss3 pss4 pss5 pss6 pss7 | p4"));
    EXPECT_EQ(layout("akpopup"), u8("akp1 akp2 akp3 akp4 | akp5 akp6 akp7 akp8 akp9 akp10 akp11 akp12"));
    for (const char *language : {"Deutsch1", "English1"}) {
        const QActionGroup *group = item(language)->actionGroup();
        ASSERT_TRUE(group) << language;
        EXPECT_TRUE(group->isExclusive()) << language; // what makes the style draw radio items
        EXPECT_EQ(group->actions().size(), 2);
    }
    // A click on the ticked language keeps it ticked; an unknown code changes nothing.
    item("Deutsch1")->trigger();
    item("Deutsch1")->trigger();
    EXPECT_TRUE(item("Deutsch1")->isChecked());
    EXPECT_FALSE(item("English1")->isChecked());
    session->lang.setCode(u8("fr"));
    window->sprache();
    EXPECT_TRUE(item("Deutsch1")->isChecked());
}

TEST_F(TprogTest, LanguageSwitchRunsOtherRoutinesAndUnknownCodesChangeNothing)
{
    Tprog &w = makeWindow();
    int switched = 0;
    QObject::connect(&w, &Tprog::languageSwitched, [&] { ++switched; });
    w.Deutsch1Click();
    EXPECT_EQ(session->lang.code(), u8("de"));
    EXPECT_EQ(switched, 1);

    session->lists.replaceAll({song("a", "b"), song("c", "d")});
    session->list.ShowListStatus();
    session->lang.setCode(u8("fr"));
    w.sprache();
    EXPECT_EQ(Mnemonics::visibleText(item("mp1")->text()), u8("Playlist Laden"));
    EXPECT_EQ(statusText(), u8("2 Dateien geladen (6min )"));
    w.English1Click();
    EXPECT_EQ(Mnemonics::visibleText(item("mp1")->text()), u8("Load Playlist"));
    // The total playing time stays.
    EXPECT_EQ(statusText(), u8("2 Files Loaded (6min )"));
}

TEST_F(TprogTest, StartStateAndLayout)
{
    session->lang.setCode(u8("de"));
    Tprog &w = makeWindow();
    EXPECT_TRUE(w.findChild<QWidget *>(u8("pa_suche"))->isHidden());
    EXPECT_TRUE(w.findChild<QWidget *>(u8("pa_suchopt"))->isHidden());
    EXPECT_EQ(w.findChild<QWidget *>(u8("pa_unten"))->height(), 52);
    EXPECT_EQ(statusText(), u8("Keine Dateien geladen"));
    EXPECT_EQ(session->list.sortState().SortColumn, 0);
    EXPECT_FALSE(session->list.sortState().SortDescending);
    EXPECT_TRUE(item("saat")->isChecked());
    EXPECT_TRUE(item("sastatus")->isChecked());
    EXPECT_FALSE(item("saheader")->isChecked());
    EXPECT_TRUE(item("zufall")->isChecked());
    EXPECT_FALSE(item("Wiederholen")->isChecked());
    EXPECT_TRUE(item("einstautoload")->isChecked());
    EXPECT_FALSE(item("einstautosave")->isChecked());
    EXPECT_TRUE(w.FirstActivation);
    EXPECT_EQ(w.MaximizePending, 1);

    struct Button
    {
        const char *name;
        const char *caption;
        int x;
    };
    for (const Button &b : {Button{"BtPlay", ">", 8}, Button{"zurueck", "<<", 63}, Button{"weiter", ">>", 118}}) {
        auto *button = w.findChild<QPushButton *>(u8(b.name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), u8(b.caption));
        EXPECT_EQ(button->accessibleName(), u8(b.caption));
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_EQ(button->geometry(), QRect(b.x, 19, 49, 25));
        EXPECT_TRUE(button->isEnabled());
        EXPECT_FALSE(button->accessibleName().isEmpty());
    }

    QTableView *lv = w.table();
    for (int c = 0; c < SongTableModel::kColumnCount; ++c) {
        const int widths[] = {65, 130, 160, 50, 145, 45, 50, 70, 125};
        EXPECT_EQ(lv->columnWidth(c), widths[c]);
    }
    EXPECT_EQ(lv->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(lv->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(lv->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(lv->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

    for (const char *on : {"mtxtexport", "so", "m_opendatei", "m_openordner", "mp4", "mp11", "mp1", "mp2", "mp3", "ergalsemp", "mclose",
                           "Deutsch1", "saat", "saheader", "msuche", "suchoptpanel", "Suchoptionen1", "m_regexsuche",
                           "mp5", "mp6", "pss0", "akp12", "mw1", "mw5", "m_fehler", "zufall", "p1", "pop_title_next",
                           "einstsave", "einstload", "einstautosave", "einstautoload", "mw6", "mp7", "p3", "akp4",
                           "m_einstshortcuts"})
        EXPECT_TRUE(item(on)->isEnabled()) << on;
}

TEST_F(TprogTest, TableReadsTheShownListByIndex)
{
    Tprog &w = makeWindow();
    session->lists.replaceAll({song("Zed", "last", "1:00:00"), song("Amy", "first", "4:05")});
    session->list.ShowListStatus();
    const SongTableModel &model = session->list.model();
    EXPECT_EQ(w.table()->model(), &model);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(cell(0, 0), u8("1"));
    EXPECT_EQ(cell(0, 1), u8("Zed"));
    EXPECT_EQ(cell(1, 3), u8("4:05"));
    EXPECT_EQ(cell(1, 8), u8("Amy.mp3"));
    const auto align = [&](int column) {
        return model.data(model.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>()
               & Qt::AlignHorizontal_Mask;
    };
    for (int c = 0; c < SongTableModel::kColumnCount; ++c)
        EXPECT_EQ(align(c), (c == 3 || c == 5) ? Qt::AlignRight : Qt::AlignLeft) << c;
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);

    // A header click sorts; row 1 then shows the first song of the new order.
    w.table()->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(cell(0, 1), u8("Amy"));
    EXPECT_EQ(cell(0, 0), u8("1"));
    EXPECT_EQ(songs()[0].Artist, u8("Amy"));

    // A click on the status line switches to the count of the shown list.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w.statusLabel(), &release);
    EXPECT_EQ(statusText(), u8("2 Files Loaded (1h 4min 5sec)"));

    // Rows beyond the list (the count is reset before a list changes) stay blank.
    session->lists.clear();
    EXPECT_EQ(cell(1, 1), QString());
}

TEST_F(TprogTest, FirstShowingOpensTheArgumentsOnce)
{
    const QString list = programFolder + u8("list.slp");
    SavePlaylist({song("a", "1"), song("b", "2")}, list, TTextEncoding::teUtf8, session->output.picture);
    Tprog &w = makeWindow({list});
    w.show();
    EXPECT_EQ(songs().size(), 2);
    EXPECT_EQ(statusText(), u8("2 Files Loaded (6min )"));
    // Showing again does not open them again.
    w.hide();
    w.show();
    EXPECT_EQ(songs().size(), 2);
}

TEST(TprogMaximize, SmallDesktopsStartMaximized)
{
    const QSize client(878, 611);
    EXPECT_TRUE(Tprog::startsMaximized(QSize(800, 600), client));
    EXPECT_TRUE(Tprog::startsMaximized(QSize(927, 1000), client));
    EXPECT_TRUE(Tprog::startsMaximized(QSize(1920, 660), client));
    EXPECT_FALSE(Tprog::startsMaximized(QSize(928, 661), client));
    EXPECT_FALSE(Tprog::startsMaximized(QSize(1280, 800), client));
}

TEST_F(TprogTest, ActivationAndClose)
{
    Tprog &w = makeWindow();
    w.FormActivate();
    EXPECT_FALSE(w.FirstActivation);

    w.show();
    w.MaximizePending = 0;
    w.FormActivate();
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w.MaximizePending, 1);

    // Closing releases the song and ends the program.
    TSongRecord a = song("a", "1");
    a.Path = programFolder + u8("a.mp3");
    QFile(a.Path).open(QIODevice::WriteOnly);
    session->lists.replaceAll({a});
    session->playback.lvDblClick(0);
    ASSERT_TRUE(session->playback.songLoaded());
    int closed = 0;
    QObject::connect(&w, &Tprog::formClosed, [&] { ++closed; });
    item("mclose")->trigger();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(session->playback.songLoaded());
    EXPECT_EQ(w.findChild<QPushButton *>(u8("BtPlay"))->toolTip(), u8(">"));
}

TEST_F(TprogTest, DisplayMenuShowsTheModel)
{
    makeWindow();
    const DisplayOptionsModel &display = session->display;
    item("saatg")->trigger();
    EXPECT_EQ(display.mode(), SongDisplayMode::ArtistTitleGenre);
    for (const char *mode : {"saat", "saata", "saatta", "saatg", "saf"})
        EXPECT_EQ(item(mode)->isChecked(), QLatin1String(mode) == QLatin1String("saatg")) << mode;
    // A click on the ticked mode leaves it ticked.
    item("saatg")->trigger();
    EXPECT_TRUE(item("saatg")->isChecked());
    item("saheader")->trigger();
    item("sastatus")->trigger();
    EXPECT_TRUE(display.inTitle());
    EXPECT_FALSE(display.inStatus());
    item("zufall")->trigger();
    item("Wiederholen")->trigger();
    EXPECT_FALSE(display.randomOrder());
    EXPECT_TRUE(display.repeat());

    // Changes from outside the menus (the settings file) show in the check marks.
    session->display.setMode(SongDisplayMode::None);
    session->display.setRandomOrder(true);
    for (const char *mode : {"saat", "saata", "saatta", "saatg", "saf"})
        EXPECT_FALSE(item(mode)->isChecked()) << mode;
    EXPECT_TRUE(item("zufall")->isChecked());
}

// The queue from the menus to its panel: added in the table's order, moved and removed with the
// list's keys (which the table's menu items also hold), cleared; texts in both languages.
TEST_F(TprogTest, QueuePanelListsMovesAndRemoves)
{
    Tprog &w = makeWindow();
    session->lists.replaceAll({song("A", "a"), song("B", "b"), song("C", "c"), song("D", "d")});
    auto *dock = w.findChild<QDockWidget *>(u8("queueDock"));
    ASSERT_NE(dock, nullptr);
    w.show();
    EXPECT_FALSE(dock->isVisible());
    item("mw_queue")->trigger();
    EXPECT_TRUE(dock->isVisible());
    EXPECT_TRUE(item("mw_queue")->isChecked());
    w.selectRows({1, 3});
    item("mp_queue")->trigger();
    w.selectRows({0});
    item("p_queue")->trigger();
    QueueList *list = w.findChild<QueueList *>(u8("queue_list"));
    auto texts = [&] {
        QStringList t;
        for (int i = 0; i < list->count(); ++i)
            t << list->text(i);
        return t;
    };
    EXPECT_EQ(texts(), (QStringList{u8("B - b"), u8("D - d"), u8("A - a")}));
    list->setFocus();
    list->setCurrentIndex(list->model()->index(2, 0));
    auto press = [&](int key, Qt::KeyboardModifiers mods) {
        QKeyEvent over(QEvent::ShortcutOverride, key, mods);
        QApplication::sendEvent(list, &over);
        EXPECT_TRUE(over.isAccepted()) << key; // the table's items with the same keys stay out
        QKeyEvent down(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(list, &down);
    };
    press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(texts(), (QStringList{u8("B - b"), u8("A - a"), u8("D - d")}));
    EXPECT_EQ(list->selectedRows(), QList<int>{1});
    press(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(texts(), (QStringList{u8("B - b"), u8("D - d")}));
    EXPECT_EQ(songs().size(), 4); // the playlist keeps its songs
    w.Deutsch1Click();
    EXPECT_EQ(dock->windowTitle(), u8("Warteschlange"));
    EXPECT_EQ(w.findChild<QPushButton *>(u8("queue_clear"))->text(), u8("Leeren"));
    w.English1Click();
    EXPECT_EQ(dock->windowTitle(), u8("Queue"));
    w.findChild<QPushButton *>(u8("queue_clear"))->click();
    EXPECT_EQ(list->count(), 0);
    item("mw_queue")->trigger();
    EXPECT_FALSE(dock->isVisible());
}
