// Register, read back and remove each integration in a temporary scope, with files of "other
// programs" beside ours.
#include "desktop/ShellIntegration.h"

#include "DesktopFixtures.h"
#include "TempDir.h"

#include <QDirIterator>
#include <QMap>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

int modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

class ShellIntegrationTest : public ::testing::Test
{
protected:
    ShellIntegration::Options options(const QString &programPath) const
    {
        return {DesktopScope{tmp.path(u8("data")), tmp.path(u8("config/mimeapps.list")), false}, programPath, &tinyPng};
    }
    QString data(const char *relative) const { return tmp.path(u8("data/") + u8(relative)); }

    // Every file below the temporary folder with its bytes.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(tmp.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            files.insert(f, TempDir::read(f));
        }
        return files;
    }

    void registerAll(ShellIntegration &shell)
    {
        EXPECT_EQ(shell.registerPlaylistType(en), ShellIntegration::Outcome::Done);
        EXPECT_EQ(shell.registerSendTo(), ShellIntegration::Outcome::Done);
        EXPECT_EQ(shell.registerFolders(de), ShellIntegration::Outcome::Done);
        EXPECT_EQ(shell.registerAllFiles(en), ShellIntegration::Outcome::Done);
        EXPECT_EQ(shell.registerChosenTypes({u8(".mp3"), u8(".WAV")}, en), ShellIntegration::Outcome::Done);
    }

    void removeAll(ShellIntegration &shell)
    {
        EXPECT_TRUE(shell.removePlaylistType());
        EXPECT_TRUE(shell.removeSendTo());
        EXPECT_TRUE(shell.removeFolders());
        EXPECT_TRUE(shell.removeAllFiles());
        EXPECT_EQ(shell.removeChosenTypes(shell.chosenTypes(), en), ShellIntegration::Outcome::Done);
    }

    static std::array<bool, 4> states(const ShellIntegration &shell)
    {
        return {shell.playlistTypeActive(), shell.sendToActive(), shell.foldersActive(), shell.allFilesActive()};
    }

    TempDir tmp;
    LanguageCode de{u8("de")};
    LanguageCode en{u8("en")};
    const QString program = tmp.path(u8("ORV Sonalo/it's $x/sonalo"));
};

TEST_F(ShellIntegrationTest, RegisterTwiceReadBackAndRemove)
{
    ShellIntegration shell(options(program));
    EXPECT_EQ(states(shell), (std::array<bool, 4>{false, false, false, false}));
    registerAll(shell);
    EXPECT_EQ(states(shell), (std::array<bool, 4>{true, true, true, true}));
    const QStringList files = shell.ourFiles();
    EXPECT_EQ(files.size(), 15) << files.join(u8("\n")).toStdString();
    const auto first = snapshot();

    // Twice: one set of files, the same bytes, still active.
    registerAll(shell);
    EXPECT_EQ(shell.ourFiles(), files);
    EXPECT_EQ(states(shell), (std::array<bool, 4>{true, true, true, true}));
    for (const QString &f : files)
        EXPECT_EQ(TempDir::read(f), first.value(f)) << f.toStdString();

    // Modes are the files' own: executable where KDE and Nautilus need it.
    for (const QString &f : files) {
        const bool executable = f.contains(u8("/kio/servicemenus/")) || f.contains(u8("/nautilus/scripts/"));
        EXPECT_EQ(modeOf(f), executable ? 0755 : 0644) << f.toStdString();
    }
    // The entries name the program as the desktop's command lines need, in both languages.
    const QByteArray folder = TempDir::read(data("kio/servicemenus/sonalo-folder.desktop"));
    EXPECT_TRUE(folder.contains("\nExec=\"" + QFile::encodeName(tmp.path()).replace('\\', "\\\\") +
                                "ORV Sonalo/it's \\\\$x/sonalo\" %F\n"));
    EXPECT_TRUE(folder.contains("\nName=Öffnen mit ORV Sonalo\nName[de]=Öffnen mit ORV Sonalo\n"
                                "Name[en]=Open with ORV Sonalo\n"));
    EXPECT_TRUE(TempDir::read(data("nemo/actions/sonalo-files.nemo_action")).contains("\nName=Play Back with Sonalo\n"));
    const QByteArray types = TempDir::read(data("file-manager/actions/sonalo-types.desktop"));
    EXPECT_TRUE(types.contains("\nBasenames=*.mp3;*.wav;\nMatchCase=false\n")) << types.toStdString();
    EXPECT_TRUE(TempDir::read(data("kio/servicemenus/sonalo-types.desktop")).contains("MimeType=audio/mpeg;"));
    EXPECT_TRUE(TempDir::read(data("nautilus/scripts/ORV Sonalo")).contains("exec '" + QFile::encodeName(tmp.path()) +
                                                                             "ORV Sonalo/it'\\''s $x/sonalo' \"$@\"\n"));
    EXPECT_EQ(TempDir::read(tmp.path(u8("config/mimeapps.list"))),
              "[Default Applications]\napplication/x-sonalo-playlist=sonalo-playlist.desktop\n");

    removeAll(shell);
    EXPECT_EQ(states(shell), (std::array<bool, 4>{false, false, false, false}));
    EXPECT_TRUE(shell.ourFiles().isEmpty()) << shell.ourFiles().join(u8("\n")).toStdString();
    EXPECT_FALSE(TempDir::read(data("mime/globs2")).contains("sonalo"));
    // Removing what is not registered does nothing.
    removeAll(shell);
}

TEST_F(ShellIntegrationTest, RemovingEverythingLeavesNoTraceOfWhatWasNotThere)
{
    // Nothing there before: afterwards no file, no folder, no database, no list (the data and
    // configuration folders themselves are the desktop's). Run twice, so that a registration
    // over our own database still knows it made it.
    for (int round = 0; round < 2; ++round) {
        ShellIntegration shell(options(program));
        registerAll(shell);
        if (round == 1)
            registerAll(shell);
        ASSERT_TRUE(QFileInfo::exists(data("mime/mime.cache")));
        removeAll(shell);
        EXPECT_EQ(QDir(data("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{}) << round;
        EXPECT_FALSE(QFileInfo::exists(tmp.path(u8("config/mimeapps.list")))) << round;
    }
    // A database that was there before stays, rebuilt without our type, and so do folders that
    // hold something else.
    tmp.write(u8("data/mime/packages/other.xml"),
              "<?xml version=\"1.0\"?>\n<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
              "  <mime-type type=\"application/x-other\"><glob pattern=\"*.oth\"/></mime-type>\n</mime-info>\n");
    tmp.write(u8("data/icons/hicolor/48x48/apps/other.png"), "png");
    ShellIntegration shell(options(program));
    registerAll(shell);
    removeAll(shell);
    EXPECT_TRUE(TempDir::read(data("mime/globs2")).contains("*.oth"));
    EXPECT_FALSE(TempDir::read(data("mime/globs2")).contains("sonalo"));
    EXPECT_TRUE(QFileInfo::exists(data("icons/hicolor/48x48/apps/other.png")));
    EXPECT_FALSE(QFileInfo::exists(data("icons/hicolor/48x48/mimetypes")));
}

TEST_F(ShellIntegrationTest, ARegistrationFromAnotherProgramFolderIsNotActiveButSendToIs)
{
    ShellIntegration before(options(tmp.path(u8("old place/sonalo"))));
    registerAll(before);
    ShellIntegration moved(options(program));
    EXPECT_EQ(states(moved), (std::array<bool, 4>{false, true, false, false}));
    // Registering again from here takes the files over.
    registerAll(moved);
    EXPECT_EQ(states(moved), (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(states(before), (std::array<bool, 4>{false, true, false, false}));
}

TEST_F(ShellIntegrationTest, OtherProgramsFilesStayByteIdentical)
{
    const char *const decoys[] = {
        "mime/packages/other.xml", "applications/other.desktop", "applications/sonalo.desktop",
        "icons/hicolor/256x256/mimetypes/other.png", "Thunar/sendto/other.desktop", "nautilus/scripts/Other",
        "kio/servicemenus/other.desktop", "nemo/actions/other.nemo_action", "file-manager/actions/other.desktop",
    };
    for (const char *d : decoys)
        tmp.write(u8("data/") + u8(d), QByteArray("[Desktop Entry]\nName=") + d + "\nExec=other %F\n");
    tmp.write(u8("data/mime/packages/other.xml"),
              "<?xml version=\"1.0\"?>\n<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
              "  <mime-type type=\"application/x-other\"><glob pattern=\"*.oth\"/></mime-type>\n</mime-info>\n");
    const QByteArray list = "# managed by hand\n[Default Applications]\ntext/plain=gedit.desktop\n"
                            "application/x-sonalo-playlist=other.desktop\n\n[Added Associations]\n"
                            "application/x-sonalo-playlist=other.desktop;sonalo-playlist.desktop;\n";
    tmp.write(u8("config/mimeapps.list"), list);
    const auto before = snapshot();

    ShellIntegration shell(options(program));
    registerAll(shell);
    EXPECT_TRUE(shell.playlistTypeActive());
    removeAll(shell);
    auto after = snapshot();
    // What the database tools made of the other files is theirs (and holds nothing of ours).
    for (auto it = after.begin(); it != after.end();) {
        const bool generated = (it.key().contains(u8("/data/mime/")) && !it.key().contains(u8("/packages/"))) ||
                               it.key().endsWith(u8("/mimeinfo.cache"));
        if (generated) {
            EXPECT_FALSE(it.value().contains("sonalo")) << it.key().toStdString();
        }
        it = generated ? after.erase(it) : ++it;
    }
    auto expected = before;
    // Our id leaves the associations of the type, the other program's default stays.
    expected[tmp.path(u8("config/mimeapps.list"))] =
        "# managed by hand\n[Default Applications]\ntext/plain=gedit.desktop\n\n[Added Associations]\n"
        "application/x-sonalo-playlist=other.desktop;\n";
    EXPECT_EQ(after.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString();
}

TEST_F(ShellIntegrationTest, FilesInOurPlacesThatAreNotOursAreNeitherReplacedNorRemoved)
{
    const QByteArray foreign = "[Desktop Entry]\nName=Someone's\nExec=someone %F\n";
    tmp.write(u8("data/Thunar/sendto/sonalo-sendto.desktop"), foreign);
    tmp.write(u8("data/kio/servicemenus/sonalo-folder.desktop"), foreign);
    ShellIntegration shell(options(program));
    EXPECT_EQ(shell.registerSendTo(), ShellIntegration::Outcome::Failed);
    EXPECT_EQ(shell.registerFolders(en), ShellIntegration::Outcome::Failed);
    EXPECT_FALSE(shell.sendToActive());
    EXPECT_FALSE(shell.foldersActive());
    shell.removeSendTo();
    shell.removeFolders();
    EXPECT_EQ(TempDir::read(data("Thunar/sendto/sonalo-sendto.desktop")), foreign);
    EXPECT_EQ(TempDir::read(data("kio/servicemenus/sonalo-folder.desktop")), foreign);
    // Garbage and oversized files where ours go: read without harm, never active, left alone.
    const QByteArray garbage = QByteArray(300 * 1024, '\xff') + "\nX-Sonalo-Owner=ORVmp3player\n";
    tmp.write(u8("data/nemo/actions/sonalo-files.nemo_action"), garbage);
    tmp.write(u8("data/mime/globs2"), QByteArray("\0\0:::\n", 6));
    EXPECT_FALSE(shell.allFilesActive());
    EXPECT_FALSE(shell.playlistTypeActive());
    shell.removeAllFiles();
    EXPECT_EQ(TempDir::read(data("nemo/actions/sonalo-files.nemo_action")), garbage);
}

TEST_F(ShellIntegrationTest, AProgramPathAnEntryCannotCarryWritesNothing)
{
    for (const char *bad : {"/opt/100%/sonalo", "/opt/a=b/sonalo", "/opt/a\nb/sonalo"}) {
        ShellIntegration shell(options(u8(bad)));
        EXPECT_EQ(shell.registerPlaylistType(en), ShellIntegration::Outcome::ProgramPathRefused);
        EXPECT_EQ(shell.registerSendTo(), ShellIntegration::Outcome::ProgramPathRefused);
        EXPECT_EQ(shell.registerFolders(en), ShellIntegration::Outcome::ProgramPathRefused);
        EXPECT_EQ(shell.registerAllFiles(en), ShellIntegration::Outcome::ProgramPathRefused);
        EXPECT_EQ(shell.registerChosenTypes({u8(".mp3")}, en), ShellIntegration::Outcome::ProgramPathRefused);
        EXPECT_EQ(states(shell), (std::array<bool, 4>{false, false, false, false}));
    }
    EXPECT_TRUE(snapshot().isEmpty());
}

TEST_F(ShellIntegrationTest, ChosenTypesAreASet)
{
    ShellIntegration shell(options(program));
    ASSERT_EQ(shell.registerChosenTypes({u8(".mp3"), u8(".ogg")}, en), ShellIntegration::Outcome::Done);
    ASSERT_EQ(shell.registerChosenTypes({u8(".MP3"), u8(".wav"), u8(".xyz")}, en), ShellIntegration::Outcome::Done);
    EXPECT_EQ(shell.chosenTypes(), QStringList({u8("mp3"), u8("ogg"), u8("wav"), u8("xyz")}));
    ASSERT_EQ(shell.removeChosenTypes({u8(".wav"), u8(".xyz"), u8(".ogg")}, en), ShellIntegration::Outcome::Done);
    EXPECT_EQ(shell.chosenTypes(), QStringList({u8("mp3")}));
    EXPECT_TRUE(TempDir::read(data("nemo/actions/sonalo-types.nemo_action")).contains("\nExtensions=mp3;\n"));
    // Only unknown extensions: KDE gets no menu, the others still match by name.
    ASSERT_EQ(shell.removeChosenTypes({u8(".mp3")}, en), ShellIntegration::Outcome::Done);
    EXPECT_TRUE(shell.ourFiles().isEmpty());
    ASSERT_EQ(shell.registerChosenTypes({u8(".xyz")}, en), ShellIntegration::Outcome::Done);
    EXPECT_FALSE(QFile::exists(data("kio/servicemenus/sonalo-types.desktop")));
    EXPECT_EQ(shell.chosenTypes(), QStringList({u8("xyz")}));
}

TEST_F(ShellIntegrationTest, ALinkedMimeAppsListIsEditedWhereItPoints)
{
    tmp.write(u8("dotfiles/mimeapps.list"), "[Default Applications]\ntext/plain=gedit.desktop\n");
    QDir().mkpath(tmp.path(u8("config")));
    ASSERT_TRUE(QFile::link(tmp.path(u8("dotfiles/mimeapps.list")), tmp.path(u8("config/mimeapps.list"))));
    ShellIntegration shell(options(program));
    EXPECT_EQ(shell.registerPlaylistType(en), ShellIntegration::Outcome::Done);
    EXPECT_TRUE(shell.playlistTypeActive());
    EXPECT_TRUE(QFileInfo(tmp.path(u8("config/mimeapps.list"))).isSymLink());
    EXPECT_TRUE(TempDir::read(tmp.path(u8("dotfiles/mimeapps.list"))).contains("sonalo-playlist.desktop"));
    EXPECT_TRUE(shell.removePlaylistType());
    EXPECT_EQ(TempDir::read(tmp.path(u8("dotfiles/mimeapps.list"))), "[Default Applications]\ntext/plain=gedit.desktop\n");
}

} // namespace
