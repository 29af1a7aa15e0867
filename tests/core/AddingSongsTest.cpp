#include "core/AddingSongs.h"
#include "core/Errors.h"
#include "TempDir.h"

#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

struct Added
{
    QStringList paths;
    AddSongFileFn fn()
    {
        return [this](const QString &p, bool relative) {
            EXPECT_FALSE(relative);
            paths << p;
        };
    }
};

} // namespace

TEST(ExtensionOf, LastDotAfterTheLastSeparator)
{
    EXPECT_EQ(extensionOf(QStringLiteral("/a/b.SLP")), QStringLiteral(".SLP"));
    EXPECT_EQ(extensionOf(QStringLiteral("/a.b/c")), QString());
    EXPECT_EQ(extensionOf(QStringLiteral("c:x.slp")), QStringLiteral(".slp"));
    EXPECT_EQ(extensionOf(QStringLiteral("x.tar.gz")), QStringLiteral(".gz"));
}

TEST(OpenArgumentTest, PlaylistsFoldersMissingNamesAndSongs)
{
    TempDir t;
    t.write(QStringLiteral("dir/a.mp3"), "x");
    t.write(QStringLiteral("dir/b.ogg"), "x");
    const QString slp = t.write(QStringLiteral("list.slp"), "A|t||||||/x.mp3\r\n");
    const QString upper = t.write(QStringLiteral("LIST.SLP"), "B|t||||||/y.mp3\r\n");
    const QString text = t.write(QStringLiteral("notes.txt"), "x");
    SongLists lists;
    ScanState state;
    Added added;
    OpenArgument(lists, t.path(QStringLiteral("dir")), state, added.fn());
    OpenArgument(lists, slp, state, added.fn());
    OpenArgument(lists, upper, state, added.fn());   // capitals: one song, not a playlist
    OpenArgument(lists, text, state, added.fn());    // any other file: one song
    OpenArgument(lists, t.path(QStringLiteral("nothing-here")), state, added.fn()); // adds nothing
    EXPECT_EQ(added.paths, (QStringList{t.path(QStringLiteral("dir/a.mp3")), t.path(QStringLiteral("dir/b.ogg")), upper, text}));
    ASSERT_EQ(lists.AllSongs().size(), 1);
    EXPECT_EQ(lists.AllSongs()[0].Artist, QStringLiteral("A"));
    EXPECT_THROW(OpenArgument(lists, t.path(QStringLiteral("missing.slp")), state, added.fn()), SonaloError);
}

TEST(DropTest, FolderPlaylistAndSongInDropOrder)
{
    TempDir t;
    t.write(QStringLiteral("dir/a.mp3"), "x");
    const QString slp = t.write(QStringLiteral("drop.SLP"), "A|t||||||/x.mp3\nB|t||||||/y.mp3\n");
    const QString song = t.write(QStringLiteral("Band - Song.mp3"), "x");
    SongLists lists;
    ScanState state;
    QStringList order;
    addDroppedNames(lists, {t.path(QStringLiteral("dir")), slp, song}, state, [&](const QString &p, bool) {
        order << p;
        TSongRecord r;
        r.Path = p;
        lists.append(r);
    });
    ASSERT_EQ(lists.AllSongs().size(), 4);
    EXPECT_EQ(lists.AllSongs()[0].Path, t.path(QStringLiteral("dir/a.mp3")));
    EXPECT_EQ(lists.AllSongs()[1].Artist, QStringLiteral("A")); // LF lines read by the dropped reader
    EXPECT_EQ(lists.AllSongs()[2].Artist, QStringLiteral("B"));
    EXPECT_EQ(lists.AllSongs()[3].Path, song);
    EXPECT_EQ(lists.SourceFolders(), QStringList{t.path()});
}

TEST(PasteTest, FileListsFromMimeData)
{
    QMimeData uris;
    uris.setUrls({QUrl::fromLocalFile(QStringLiteral("/m/a b.mp3")), QUrl::fromLocalFile(QString::fromUtf8("/m/\xC3\xA4\xF0\x9F\x8E\xB5.slp")),
                  QUrl(QStringLiteral("https://example.invalid/x.mp3"))});
    EXPECT_EQ(fileListFromMimeData(&uris), (QStringList{QStringLiteral("/m/a b.mp3"), QString::fromUtf8("/m/\xC3\xA4\xF0\x9F\x8E\xB5.slp")}));

    QMimeData gnome;
    gnome.setData(QStringLiteral("x-special/gnome-copied-files"), "copy\nfile:///m/one.mp3\nfile:///m/t%C3%BC.ogg\n");
    EXPECT_EQ(fileListFromMimeData(&gnome), (QStringList{QStringLiteral("/m/one.mp3"), QString::fromUtf8("/m/t\xC3\xBC.ogg")}));

    QMimeData text;
    text.setText(QStringLiteral("/m/a.mp3"));
    EXPECT_TRUE(fileListFromMimeData(&text).isEmpty());
    EXPECT_TRUE(fileListFromMimeData(nullptr).isEmpty());

    // A pasted playlist is one song like any other name.
    Added added;
    SongLists pasted;
    ScanState state;
    addPastedNames(pasted, {QStringLiteral("/m/list.slp"), QStringLiteral("/m/a.mp3"), QStringLiteral("/m/a.mp3")}, state,
                   added.fn());
    EXPECT_EQ(added.paths, (QStringList{QStringLiteral("/m/list.slp"), QStringLiteral("/m/a.mp3"), QStringLiteral("/m/a.mp3")}));
}

TEST(AbsoluteArgument, RelativeNamesAreTakenAgainstTheWorkingFolder)
{
    struct Case
    {
        const char *argument;
        const char *working;
        const char *expected;
    } cases[] = {
        {"a.mp3", "/home/u", "/home/u/a.mp3"},
        {"Musik/", "/home/u", "/home/u/Musik"},
        {"./x/../b.slp", "/home/u/", "/home/u/b.slp"},
        {"../Lied 🎵.wma", "/home/u/dir", "/home/u/Lied 🎵.wma"},
        {"/abs/a.mp3", "/home/u", "/abs/a.mp3"},
        {"c:\\x.mp3", "/w", "/w/c:\\x.mp3"},
        {"", "/home/u", ""}, // nothing stays nothing, not the working folder
        {"a.mp3", "", "a.mp3"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(absoluteArgument(QString::fromUtf8(c.argument), QString::fromUtf8(c.working)),
                  QString::fromUtf8(c.expected))
            << c.argument;
}

TEST(OpenArgumentTest, FolderRelativeFlagReachesTheFolderSongsOnly)
{
    TempDir t;
    t.write(QStringLiteral("dir/a.mp3"), "x");
    const QString single = t.write(QStringLiteral("b.mp3"), "x");
    SongLists lists;
    ScanState state;
    QList<bool> flags;
    auto add = [&](const QString &, bool relative) { flags << relative; };
    OpenArgument(lists, t.path(QStringLiteral("dir")), state, add, {}, true);
    OpenArgument(lists, single, state, add, {}, true);
    addDroppedNames(lists, {t.path(QStringLiteral("dir")), single}, state, add, {}, true);
    EXPECT_EQ(flags, (QList<bool>{true, false, true, false}));
}

TEST(PasteTest, OnlyAbsoluteNamesOfThisMachine)
{
    // Found by the file-list fuzzer: "file:a.mp3" decoded to a relative name.
    struct Case
    {
        const char *line;
        const char *name; // empty: not taken
    } cases[] = {
        {"file:///m/a.mp3", "/m/a.mp3"},
        {"file://localhost/m/b.mp3", "/m/b.mp3"},
        {"file:relative.mp3", ""},
        {"file://otherhost/share/c.mp3", ""},
        {"file:////server/d.mp3", ""},
        {"smb://server/e.mp3", ""},
    };
    for (const Case &c : cases) {
        for (const char *format : {"text/uri-list", "x-special/gnome-copied-files"}) {
            QMimeData data;
            const QByteArray line(c.line);
            data.setData(QString::fromLatin1(format), QByteArray(format[0] == 'x' ? "copy\n" : "") + line + "\r\n");
            const QStringList names = fileListFromMimeData(&data);
            if (*c.name)
                EXPECT_EQ(names, QStringList{QString::fromLatin1(c.name)}) << c.line << " " << format;
            else
                EXPECT_TRUE(names.isEmpty()) << c.line << " " << format;
        }
    }
}

// A playlist named on the command line or dropped is parsed with the window's keep-alive, and
// the list a repaint finds meanwhile is the one before: the songs come in one step at the end.
TEST(OpenArgumentTest, LongPlaylistsKeepTheWindowAliveAndArriveWhole)
{
    TempDir t;
    QByteArray lines;
    for (int i = 0; i < 60'000; ++i)
        lines += "A|t" + QByteArray::number(i) + "|3:00|||||/x.mp3\r\n";
    const QString slp = t.write(QStringLiteral("long.slp"), lines);
    const struct
    {
        const char *how;
        std::function<void(SongLists &, ScanState &, const std::function<void()> &)> add;
    } ways[] = {
        {"argument", [&](SongLists &l, ScanState &s, const auto &alive) { OpenArgument(l, slp, s, Added().fn(), alive); }},
        {"drop", [&](SongLists &l, ScanState &s, const auto &alive) { addDroppedNames(l, {slp}, s, Added().fn(), alive); }},
    };
    for (const auto &way : ways) {
        SongLists lists;
        lists.append(TSongRecord{});
        ScanState state;
        int ticks = 0;
        bool whole = true;
        way.add(lists, state, [&] {
            ++ticks;
            whole = whole && lists.AllSongs().size() == 1;
        });
        EXPECT_GT(ticks, 0) << way.how;
        EXPECT_TRUE(whole) << way.how;
        EXPECT_EQ(lists.AllSongs().size(), 60'001) << way.how;
        EXPECT_EQ(lists.playlistSeconds(), 60'000 * 180) << way.how;
    }
}
