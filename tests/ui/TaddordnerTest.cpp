#include "AudioTree.h"

#include "core/Playlist.h"
#include "ui/Taddordner.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

class TaddordnerTest : public AudioWindowTest
{
protected:
    void SetUp() override
    {
        AudioWindowTest::SetUp();
        if (IsSkipped())
            return;
        dialog = app->addordner();
    }

    // B.mp3, a.wav, c.mp3 and x/d.mp3: found as x/d.mp3, B.mp3, c.mp3, a.wav.
    void buildFolder()
    {
        put("id3v23.mp3", "B.mp3");
        put("Artist - Song.wav", "a.wav");
        put("Band - Song.mp3", "c.mp3");
        put("vorbis_tags.ogg", "x/d.mp3");
    }

    QStringList counters() const { return {dialog->Label1->text(), dialog->Label2->text(), dialog->Label3->text()}; }
    QStringList paths() const
    {
        QStringList out;
        for (const TSongRecord &r : session().lists.AllSongs())
            out << r.Path;
        return out;
    }

    Taddordner *dialog = nullptr;
};

struct Caption
{
    const char *component;
    const char *de;
    const char *en;
};

const Caption kCaptions[] = {
    {"uv", "Auch alle Unterverzeichnisse durchsuchen", "Include all Subdirectories"},
    {"hinzufuegen", "Durchsuchen und Hinzufügen", "Search and Add"},
    {"Button1", "Schließen", "Close"},
    {"Label4", "Gefundene Dateien:", "Files Found:"},
    {"Label5", "Gelesene Dateien:", "Files Read:"},
    {"Label6", "Hinzugefügte Dateien:", "Files Added:"},
    {"relativ", "Dateipfad relativ zum Programmpfad (wenn möglich)", "Filepath relative to Application Path (if possible)"},
    {"Label7", "Suchen nach:", "Search for:"},
    {"nurneu", "Nur hinzufügen wenn Datei noch nicht in Playlist enthalten", "Only add if File is not yet in PlayList"},
    {"cbMP3", "MP3", "MP3"},
    {"cbWAV", "WAV", "WAV"},
    {"cbOGG", "OGG", "OGG"},
    {"cbWMA", "WMA", "WMA"},
    {"cbFLAC", "FLAC", "FLAC"},
    {"cbOpus", "Opus", "Opus"},
    {"cbM4A", "M4A", "M4A"},
};

QString captionOf(QWidget *w)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    return qobject_cast<QLabel *>(w)->text();
}

} // namespace

TEST_F(TaddordnerTest, CaptionsInBothLanguagesAndStartState)
{
    for (const char *code : {"de", "en", "fr"}) {
        session().lang.setCode(u8(code));
        dialog->LocalSpr();
        // "fr": the routine changes nothing, so the English texts stay.
        const bool de = QLatin1String(code) == QLatin1String("de");
        for (const Caption &c : kCaptions) {
            auto *w = dialog->findChild<QWidget *>(u8(c.component));
            ASSERT_NE(w, nullptr) << c.component;
            EXPECT_EQ(captionOf(w), u8(de ? c.de : c.en)) << c.component << " " << code;
        }
        EXPECT_EQ(dialog->windowTitle(), u8(de ? "Ordner Hinzufügen" : "Add Folder"));
    }
    EXPECT_TRUE(dialog->ed_ort->text().isEmpty());
    EXPECT_TRUE(dialog->uv->isChecked());
    EXPECT_FALSE(dialog->relativ->isChecked());
    EXPECT_TRUE(dialog->nurneu->isChecked());
    for (QCheckBox *b : {dialog->cbMP3, dialog->cbWAV, dialog->cbOGG, dialog->cbWMA, dialog->cbFLAC, dialog->cbOpus, dialog->cbM4A})
        EXPECT_TRUE(b->isChecked());
    EXPECT_EQ(counters(), QStringList({u8("0"), u8("0"), u8("0")}));
    EXPECT_EQ(dialog->fs->value(), 0);
    EXPECT_TRUE(dialog->hinzufuegen->isEnabled());
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(dialog->isModal());
}

TEST_F(TaddordnerTest, RunCountsAddsInFoundOrderAndRestoresTheIdleState)
{
    buildFolder();
    dialog->ed_ort->setText(musicPath());
    QStringList captionsDuringRun;
    onAdd = [&](const QString &path, bool relative) {
        captionsDuringRun << dialog->Button1->text();
        EXPECT_FALSE(dialog->hinzufuegen->isEnabled());
        read(path, relative);
    };
    session().lang.setCode(u8("de"));
    dialog->LocalSpr();
    dialog->hinzufuegenClick();
    EXPECT_EQ(paths(), QStringList({musicPath("x/d.mp3"), musicPath("B.mp3"), musicPath("c.mp3"), musicPath("a.wav")}));
    EXPECT_EQ(counters(), QStringList({u8("4"), u8("4"), u8("4")}));
    EXPECT_EQ(dialog->fs->value(), dialog->fs->maximum());
    EXPECT_EQ(dialog->fs->maximum(), 4);
    EXPECT_EQ(captionsDuringRun, QStringList(4, u8("Abbrechen")));
    EXPECT_EQ(enabledWhileAdding, QList<bool>(4, false));
    EXPECT_TRUE(window->centralWidget()->isEnabled() && window->menuBar()->isEnabled());
    EXPECT_EQ(dialog->Button1->text(), u8("Schließen"));
    EXPECT_TRUE(dialog->hinzufuegen->isEnabled());
    EXPECT_EQ(model().rowCount(), 4);

    // Again with "only new": everything is a duplicate; read 4, added 0.
    dialog->hinzufuegenClick();
    EXPECT_EQ(counters(), QStringList({u8("4"), u8("4"), u8("0")}));
    EXPECT_EQ(model().rowCount(), 4);
}

TEST_F(TaddordnerTest, OnlyNewAddsInFoldedOrderAndLetterCaseCounts)
{
    for (const char *name : {"Zebra.mp3", "Über.mp3", "Tango.mp3", "dup.mp3", "Case.mp3"})
        put("Band - Song.mp3", name);
    TSongRecord known;
    known.Path = musicPath("dup.mp3");
    TSongRecord otherCase;
    otherCase.Path = musicPath("case.mp3");
    session().lists.replaceAll({known, otherCase});
    dialog->ed_ort->setText(musicPath());
    dialog->hinzufuegenClick();
    EXPECT_EQ(paths().mid(2), QStringList({musicPath("Case.mp3"), musicPath("Tango.mp3"), musicPath("Über.mp3"),
                                           musicPath("Zebra.mp3")}));
    EXPECT_EQ(counters(), QStringList({u8("5"), u8("5"), u8("4")}));
}

TEST_F(TaddordnerTest, RelativTickFillsTheProgramFolderAndStoresRelativePaths)
{
    // Songs below the program's folder.
    const QString below = programFolder() + u8("Music/");
    QDir().mkpath(below);
    ASSERT_TRUE(QFile::copy(audioFixture("id3v23.mp3"), below + u8("a.mp3")));
    ASSERT_TRUE(QFile::copy(audioFixture("id3v23.mp3"), below + u8("b.mp3")));
    dialog->ed_ort->setText(u8("elsewhere"));
    dialog->relativ->click();
    EXPECT_EQ(dialog->ed_ort->text(), programFolder());
    dialog->ed_ort->setText(u8("kept"));
    dialog->relativ->click();
    EXPECT_EQ(dialog->ed_ort->text(), u8("kept"));
    dialog->relativ->click();

    // A playlist song stored relative is a duplicate of the found file below the program.
    TSongRecord known;
    known.Path = u8("Music/a.mp3");
    session().lists.replaceAll({known});
    dialog->ed_ort->setText(below);
    dialog->hinzufuegenClick();
    EXPECT_EQ(paths(), QStringList({u8("Music/a.mp3"), u8("Music/b.mp3")}));
    EXPECT_EQ(counters(), QStringList({u8("2"), u8("2"), u8("1")}));
    // The tick is also the relative flag of folders dropped on the main window.
    session().playlist.lvDropFiles({below});
    QCoreApplication::processEvents();
    EXPECT_EQ(paths().mid(2), QStringList({u8("Music/a.mp3"), u8("Music/b.mp3")}));
}

TEST_F(TaddordnerTest, EnterInTheFolderTextStartsTheRun)
{
    buildFolder();
    dialog->ed_ort->setText(musicPath());
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u8("a"));
    QApplication::sendEvent(dialog->ed_ort, &other);
    EXPECT_EQ(session().lists.AllSongs().size(), 0);
    EXPECT_EQ(dialog->ed_ort->text(), musicPath() + u8("a"));
    dialog->ed_ort->setText(musicPath());
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        session().lists.clear();
        QKeyEvent enter(QEvent::KeyPress, key, Qt::NoModifier, u8("\r"));
        QApplication::sendEvent(dialog->ed_ort, &enter);
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_EQ(session().lists.AllSongs().size(), 4) << key;
    }
    EXPECT_EQ(dialog->ed_ort->text(), musicPath());
}

TEST_F(TaddordnerTest, CancelDuringTheWalkAddsNothing)
{
    buildFolder();
    dialog->ed_ort->setText(musicPath());
    // The click arrives with the first pending events the walk lets run.
    QTimer::singleShot(0, dialog, [this] { dialog->Button1->click(); });
    dialog->hinzufuegenClick();
    EXPECT_TRUE(session().lists.AllSongs().isEmpty());
    EXPECT_EQ(dialog->Label3->text(), u8("0"));
    EXPECT_FALSE(session().scan.ScanCancelled);
    EXPECT_EQ(dialog->Button1->text(), u8("Close"));
    EXPECT_TRUE(dialog->lastResult().cancelled);
}

TEST_F(TaddordnerTest, CancelDuringAddingStopsWithinOneFileAndKeepsWhatWasAdded)
{
    for (int i = 0; i < 20; ++i)
        put("Band - Song.mp3", QStringLiteral("f%1.mp3").arg(i, 2, 10, QLatin1Char('0')).toUtf8().constData());
    dialog->ed_ort->setText(musicPath());
    onAdd = [&](const QString &path, bool relative) {
        read(path, relative);
        if (session().lists.AllSongs().size() == 10)
            dialog->Button1->click();
    };
    dialog->hinzufuegenClick();
    EXPECT_EQ(session().lists.AllSongs().size(), 10);
    // Progress is shown after files 1 and 8; Label2 keeps it, Label3 counts what was added.
    EXPECT_EQ(counters(), QStringList({u8("20"), u8("8"), u8("10")}));
    EXPECT_EQ(model().rowCount(), 10);
    // The bar stays where the run stopped.
    EXPECT_EQ(dialog->fs->value(), 8);
    EXPECT_EQ(dialog->fs->maximum(), 20);
    // Idle again: the button closes.
    dialog->show();
    dialog->Button1->click();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(TaddordnerTest, NoFileTypeTickedSaysSoAndWalksNothing)
{
    buildFolder();
    dialog->ed_ort->setText(musicPath());
    for (QCheckBox *b : {dialog->cbMP3, dialog->cbWAV, dialog->cbOGG, dialog->cbWMA, dialog->cbFLAC, dialog->cbOpus, dialog->cbM4A})
        b->setChecked(false);
    for (const char *code : {"de", "en"}) {
        session().lang.setCode(u8(code));
        dialog->hinzufuegenClick();
        ASSERT_FALSE(dialogs.messages.isEmpty());
        EXPECT_EQ(dialogs.messages.takeLast(),
                  u8(QLatin1String(code) == QLatin1String("de")
                         ? "Bitte mindestens einen Dateityp ankreuzen (MP3, WAV, OGG, WMA, FLAC, Opus oder M4A)."
                         : "Please tick at least one file type (MP3, WAV, OGG, WMA, FLAC, Opus or M4A)."));
        EXPECT_EQ(counters(), QStringList({u8("0"), u8("0"), u8("0")}));
    }
    // Only WAV: one file.
    dialog->cbWAV->setChecked(true);
    dialog->hinzufuegenClick();
    EXPECT_EQ(paths(), QStringList({musicPath("a.wav")}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(TaddordnerTest, ListFileFeedsItsExistingFilesAndMissingFoldersAddNothing)
{
    buildFolder();
    const QString list = musicPath("songs.txt");
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write((musicPath("c.mp3") + u8("\n") + musicPath("gone.mp3") + u8("\nabc\n") + musicPath("x/d.mp3") + u8("\n"))
                .toUtf8());
    f.close();
    dialog->nurneu->setChecked(false);
    dialog->ed_ort->setText(list);
    dialog->hinzufuegenClick();
    EXPECT_EQ(paths(), QStringList({musicPath("c.mp3"), musicPath("x/d.mp3")}));
    EXPECT_EQ(counters(), QStringList({u8("2"), u8("2"), u8("2")}));

    dialog->ed_ort->setText(musicPath("no-such-folder"));
    dialog->hinzufuegenClick();
    EXPECT_EQ(counters(), QStringList({u8("0"), u8("0"), u8("0")}));
    EXPECT_TRUE(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
}

TEST_F(TaddordnerTest, FolderBrowserAndMenuItems)
{
    for (const char *code : {"de", "en"}) {
        session().lang.setCode(u8(code));
        dialogs.filters.clear();
        dialogs.answers = {musicPath("picked")};
        dialog->ed_ort->setText(u8("before"));
        dialog->Button3->click();
        EXPECT_EQ(dialog->ed_ort->text(), musicPath("picked"));
        dialog->Button3->click(); // cancelled: the text stays
        EXPECT_EQ(dialog->ed_ort->text(), musicPath("picked"));
        EXPECT_EQ(dialogs.filters,
                  QStringList(2, u8(QLatin1String(code) == QLatin1String("de") ? "Zielverzeichnis wählen" : "Open Folder")));
    }
    // Both menu items show the whole playlist, then the dialog.
    for (const char *item : {"mp4", "m_openordner"}) {
        dialog->hide();
        TSongRecord r;
        session().lists.replaceAll({r, r, r});
        session().lists.showFound({r});
        // (ShowListStatus would re-run the search; set the table as a search left it.)
        session().list.setRowCount(1);
        EXPECT_EQ(model().rowCount(), 1);
        window->findChild<QAction *>(u8(item))->trigger();
        EXPECT_FALSE(session().lists.ShowingFound()) << item;
        EXPECT_EQ(model().rowCount(), 3) << item;
        EXPECT_TRUE(dialog->isVisible()) << item;
    }
}

TEST_F(TaddordnerTest, SonaloCliScanWritesWhatTheDialogAdds)
{
    buildFolder();
    put("wma_tags.wma", "x/y/e.wma");
    dialog->ed_ort->setText(musicPath());
    dialog->hinzufuegenClick();
    const SongList fromDialog = session().lists.AllSongs();
    ASSERT_EQ(fromDialog.size(), 5);

    const QString out = programFolder() + u8("scan.slp");
    QProcess cli;
    cli.start(QStringLiteral(SONALO_BINARY_DIR "/src/cli/sonalo-cli"), {u8("scan"), musicPath(), u8("-o"), out});
    ASSERT_TRUE(cli.waitForFinished(120000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    SongLists written;
    LoadPlaylist(written, out);
    ASSERT_EQ(written.AllSongs().size(), fromDialog.size());
    for (qsizetype i = 0; i < fromDialog.size(); ++i)
        for (int f = 0; f < TSongRecord::kFieldCount; ++f)
            EXPECT_EQ(written.AllSongs()[i].field(f), fromDialog[i].field(f)) << i << " " << f;
}

TEST_F(TaddordnerTest, NoSecondRunStartsInsideARunningAdding)
{
    buildFolder();
    dialog->ed_ort->setText(musicPath());
    int nestedRuns = 0;
    onAdd = [&](const QString &path, bool relative) {
        read(path, relative);
        // Enter in the folder text and the button while songs are being added.
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u8("\r"));
        QApplication::sendEvent(dialog->ed_ort, &enter);
        dialog->hinzufuegenClick();
        if (session().lists.AllSongs().size() > 4)
            ++nestedRuns;
    };
    dialog->hinzufuegenClick();
    EXPECT_EQ(session().lists.AllSongs().size(), 4);
    // The same while the main window adds a dropped folder.
    session().lists.clear();
    session().playlist.lvDropFiles({musicPath()});
    EXPECT_EQ(session().lists.AllSongs().size(), 4);
    EXPECT_EQ(nestedRuns, 0);
    EXPECT_EQ(counters(), QStringList({u8("4"), u8("4"), u8("4")}));
}
