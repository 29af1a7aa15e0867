// Albums in one file: the sheet beside an audio file or inside a FLAC file turns the file
// into one song per track when it is added; anything else stays one song.
#include "ByteBuilders.h"

#include "tags/AddSongFile.h"
#include "tags/EmbeddedCueSheet.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace bytes;

namespace {

QByteArray be64(std::uint64_t v) { return be32(std::uint32_t(v >> 32)) + be32(std::uint32_t(v)); }

// A CUESHEET block: each track (number, start in samples) with one INDEX 01 at its start.
QByteArray cueSheetBlock(const QList<std::pair<int, std::uint64_t>> &tracks)
{
    QByteArray b = zeros(128) + be64(88200) + of({0x80}) + zeros(258) + of({int(tracks.size())});
    for (const auto &[number, start] : tracks) {
        b += be64(start) + of({number}) + zeros(12) + zeros(14) + of({number == 170 ? 0 : 1});
        if (number != 170)
            b += be64(0) + of({1}) + zeros(3);
    }
    return b;
}

QByteArray flacWith(const QByteArray &blocks)
{
    return QByteArray("fLaC") + flacBlock(0, flacStreamInfo(44100, 2, 16, 44100 * 100)) + blocks + zeros(100);
}

const QByteArray kTextSheet = "PERFORMER \"Band\"\nTITLE \"Inside\"\nREM DATE 2001\nFILE \"whatever.wav\" WAVE\n"
                              "TRACK 01 AUDIO\nTITLE \"One\"\nINDEX 01 00:00:00\n"
                              "TRACK 02 AUDIO\nTITLE \"Two\"\nINDEX 01 01:00:00\n";

struct Case
{
    const char *name;
    QList<std::pair<const char *, QByteArray>> files;
    const char *added;
    std::vector<std::string> rows; // "artist|title|length|album|track|year|genre|path", "@" for the folder
};

std::string row(const TSongRecord &r)
{
    QStringList f;
    for (int i = 0; i < TSongRecord::kFieldCount; ++i)
        f << r.field(i);
    return f.join(QLatin1Char('|')).toStdString();
}

class SheetTracksTest : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(SheetTracksTest, AddingTheAudioFileGivesItsTracks)
{
    QTemporaryDir dir;
    const QString at = dir.path() + QLatin1Char('/');
    for (const auto &[name, bytes] : GetParam().files) {
        QFile f(at + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    SongLists lists;
    AddSongFile(lists, at + QLatin1String(GetParam().added), false);
    std::vector<std::string> got;
    for (const TSongRecord &r : lists.AllSongs())
        got.push_back(QString::fromStdString(row(r)).replace(at, QStringLiteral("@")).toStdString());
    EXPECT_EQ(got, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SheetTracksTest,
    ::testing::Values(
        Case{"sheetBeside", {{"a.wav", "not audio"}, {"a.cue", "TITLE \"Al\"\nFILE \"a.wav\" WAVE\nTRACK 01 AUDIO\n"
                                                               "TITLE \"x\"\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nTITLE \"y\"\nINDEX 01 00:02:00\n"}},
             "a.wav", {"|x|0:02|Al|1|||@a.cue#1", "|y|0:00|Al|2|||@a.cue#2"}},
        Case{"sheetNamedAfterTheWholeName", {{"d.wav", "not audio"}, {"d.wav.cue", "FILE \"d.wav\" WAVE\nTRACK 05 AUDIO\nTITLE \"z\"\nINDEX 01 00:00:00\n"}},
             "d.wav", {"|z|0:00||5|||@d.wav.cue#5"}},
        Case{"sheetOfAnotherFile", {{"e.wav", "not audio"}, {"e.cue", "FILE \"other.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"}},
             "e.wav", {"|e.wav|0:00|||||@e.wav"}},
        Case{"commentInside", {{"b.flac", flacWith(flacBlock(4, commentBlock("v", {"TITLE=Whole", "CUESHEET=" + kTextSheet}), true))}},
             "b.flac", {"Band|One|1:00|Inside|1|2001||@b.flac#1", "Band|Two|0:40|Inside|2|2001||@b.flac#2"}},
        Case{"blockInside", {{"c.flac", flacWith(flacBlock(5, cueSheetBlock({{1, 0}, {2, 44100 * 30}, {170, 44100 * 100}}), true))}},
             "c.flac", {"|c|0:30||1|||@c.flac#1", "|c|1:10||2|||@c.flac#2"}},
        Case{"oneTrackIsNoAlbum", {{"g.flac", flacWith(flacBlock(5, cueSheetBlock({{1, 0}, {170, 44100 * 100}}), true))}},
             "g.flac", {"|g.flac|1:40|||||@g.flac"}}),
    [](const ::testing::TestParamInfo<Case> &p) { return std::string(p.param.name); });

// The reader stops at what the bytes hold: cut anywhere, no sheet read goes wrong.
TEST(EmbeddedCueSheet, CutBytesNeverFail)
{
    const QByteArray whole = flacWith(flacBlock(4, commentBlock("v", {"CUESHEET=" + kTextSheet}))
                                      + flacBlock(5, cueSheetBlock({{1, 0}, {2, 44100}, {170, 88200}}), true));
    for (qsizetype n = 0; n <= whole.size(); ++n) {
        QByteArray bytes = whole.first(n);
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        const std::optional<CueSheet> sheet = readEmbeddedCueSheet(buffer);
        EXPECT_TRUE(sheet.has_value() || n < whole.size()) << "the whole file holds a sheet";
        if (sheet) {
            EXPECT_EQ(sheet->tracks.size(), 2) << n;
        }
    }
}
