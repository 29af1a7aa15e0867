// CUE sheets beyond the golden files (tests/data/playlists/*.cue): times, the stored form of a
// track, the part of the file a track plays, and where a track's sheet is found.
#include "core/PictureStyle.h"
#include "core/SongLists.h"
#include "core/playlists/CueSheet.h"
#include "core/playlists/PlaylistFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

TEST(CueSheet, TimesCountFramesAndRefuseImpossibleOnes)
{
    const std::pair<const char *, qint64> cases[] = {
        {"00:00:00", 0},      {"00:01:00", 75},     {"03:12:37", 14437},  {" 100:00:74 ", 450074},
        {"99:99:99", -1},     {"00:60:00", -1},     {"00:00:75", -1},     {"1:2", -1},
        {"00:00:00:00", -1},  {"-1:00:00", -1},     {"aa:00:00", -1},     {"12345:00:00", -1},
        {"", -1},             {"00::00", -1},
    };
    for (const auto &[text, frames] : cases)
        EXPECT_EQ(parseCueTime(QString::fromLatin1(text)), frames) << text;
}

TEST(CueSheet, AFrameStartsAtItsFirstSampleAtEveryCdRate)
{
    // A decoder finds the sample for a time by rounding down: the time must not fall short.
    for (const qint64 rate : {44100, 48000, 88200, 96000, 192000}) {
        for (const qint64 frames : {qint64(1), qint64(37), qint64(14437), qint64(450074), qint64(99 * 60 * 75)}) {
            const qint64 sample = cueFramesToNs(frames) * rate / 1'000'000'000;
            EXPECT_EQ(sample, frames * rate / 75) << rate << " Hz, frame " << frames;
        }
    }
}

TEST(CueSheet, StoredPathNamesTheContainerAndTheTrack)
{
    struct Case { const char *path; const char *container; int track; };
    const Case cases[] = {
        {"/m/Album.cue#2", "/m/Album.cue", 2},        {"/m/Album #1.cue#99", "/m/Album #1.cue", 99},
        {"rel\\Album.flac#12", "rel\\Album.flac", 12}, {"/m/Album.cue#0", nullptr, 0},
        {"/m/Album.cue#02", nullptr, 0},               {"/m/Album.cue#100", nullptr, 0},
        {"/m/Album.cue#", nullptr, 0},                 {"/m/Album.cue#2a", nullptr, 0},
        {"/m/Song #2", nullptr, 0},                    {"/m.d/Song#2", nullptr, 0},
        {"#2", nullptr, 0},                            {"/m/Song.mp3", nullptr, 0},
    };
    for (const Case &c : cases) {
        const std::optional<SheetTrackRef> ref = sheetTrackOf(QString::fromUtf8(c.path));
        ASSERT_EQ(ref.has_value(), c.container != nullptr) << c.path;
        if (!ref)
            continue;
        EXPECT_EQ(ref->container, QString::fromUtf8(c.container)) << c.path;
        EXPECT_EQ(ref->track, c.track) << c.path;
        EXPECT_EQ(sheetTrackPath(ref->container, ref->track), QString::fromUtf8(c.path));
    }
}

TEST(CueSheet, ATrackPlaysFromItsStartToWhereTheNextOfItsFileStarts)
{
    TempDir t;
    t.write(QStringLiteral("a.wav"), "x");
    const QString sheetPath = t.path(QStringLiteral("s.cue"));
    const CueSheet sheet = readCueSheet(u"FILE \"a.wav\" WAVE\n"
                                        u"TRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                        u"TRACK 02 AUDIO\nINDEX 00 00:01:00\nINDEX 01 00:02:00\n"
                                        u"TRACK 03 AUDIO\nINDEX 01 00:03:00\n"
                                        u"FILE \"sub\\b.wav\" WAVE\nTRACK 04 AUDIO\nINDEX 01 00:00:30\n");
    ASSERT_EQ(sheet.tracks.size(), 4);
    EXPECT_EQ(sheet.tracks[1].index0, 75);
    struct Want { int track; const char *file; qint64 start; qint64 stop; };
    const Want want[] = {{1, "a.wav", 0, 2'000'000'000},
                         {2, "a.wav", 2'000'000'000, 3'000'000'000},
                         {3, "a.wav", 3'000'000'000, -1},
                         {4, "sub\\b.wav", 400'000'000, -1}}; // not there: stays as written
    for (const Want &w : want) {
        const std::optional<SheetTrackSource> s = sheetTrackSource(sheet, w.track, sheetPath);
        ASSERT_TRUE(s) << w.track;
        EXPECT_EQ(s->audioFile, w.track < 4 ? t.path(QStringLiteral("a.wav")) : QString::fromLatin1(w.file)) << w.track;
        EXPECT_EQ(s->startNs, w.start) << w.track;
        EXPECT_EQ(s->stopNs, w.stop) << w.track;
    }
    EXPECT_FALSE(sheetTrackSource(sheet, 5, sheetPath));
}

TEST(CueSheet, OversizedOrUnreadableBytesGiveNoTracks)
{
    QByteArray big = "FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
    EXPECT_EQ(parseCueSheet(big).tracks.size(), 1);
    big.append(QByteArray(kCueMaxSheetBytes, ' '));
    EXPECT_TRUE(parseCueSheet(big).tracks.isEmpty());
    EXPECT_TRUE(parseCueSheet("+/v8-").tracks.isEmpty()); // a UTF-7 signature with a broken body
    // Cut anywhere, a sheet still reads without failing.
    const QByteArray whole = TempDir::read(QStringLiteral(SONALO_TEST_DATA "/playlists/pregap.cue"));
    ASSERT_FALSE(whole.isEmpty());
    for (qsizetype n = 0; n <= whole.size(); ++n)
        EXPECT_LE(parseCueSheet(whole.first(n)).tracks.size(), 3);
}

TEST(CueSheet, ARelativeTrackIsFoundWhereItsSheetIs)
{
    TempDir t;
    t.write(QStringLiteral("music/Album.cue"), "FILE \"a.wav\" WAVE\n");
    SongLists lists(QString{});
    lists.addSourceFolder(t.path());
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("music/Album.cue#3")), t.path(QStringLiteral("music/Album.cue#3")));
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("music\\Album.cue#3")), t.path(QStringLiteral("music/Album.cue#3")));
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("gone/Album.cue#3")), QStringLiteral("gone/Album.cue#3"));
}

TEST(CueSheet, ASaveUnderASheetsNameNeverOverwritesIt)
{
    TempDir t;
    const QString sheet = t.write(QStringLiteral("a.cue"), "FILE \"a.wav\" WAVE\n");
    const SongList songs{TSongRecord{QStringLiteral("A"), QStringLiteral("T"), QStringLiteral("1:00"), {}, {}, {}, {},
                                     QStringLiteral("/m/a.cue#1")}};
    EXPECT_EQ(SaveAnyPlaylist(songs, sheet, TTextEncoding::teUtf8, PictureStyle{}), sheet + QStringLiteral(".slp"));
    EXPECT_EQ(TempDir::read(sheet), QByteArray("FILE \"a.wav\" WAVE\n"));
}
