// Real files made by scripts/make-audio-fixtures (lame, ffmpeg, oggenc; 5.3 s sine tones),
// read end to end into the record that adding them appends.
#include "tags/AddSongFile.h"
#include "tags/AudioInfo.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FixtureFiles : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        QProcess p;
        p.start(QStringLiteral(SONALO_SOURCE_DIR "/scripts/make-audio-fixtures"), {dir->path()});
        p.waitForFinished(120000);
        status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        errors = QString::fromLocal8Bit(p.readAllStandardError());
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }
    void SetUp() override
    {
        if (status == 2)
            GTEST_SKIP() << "fixture tools missing: " << errors.toStdString();
        ASSERT_EQ(status, 0) << errors.toStdString();
    }
    static QString path(const char *name) { return dir->filePath(QString::fromUtf8(name)); }

    static inline QTemporaryDir *dir = nullptr;
    static inline int status = -1;
    static inline QString errors;
};

struct Expected
{
    const char *file;
    const char *artist, *title, *length, *album, *track, *year, *genre;
};

} // namespace

TEST_F(FixtureFiles, RecordsOfEveryFile)
{
    const Expected cases[] = {
        {"cbr128_stereo.mp3", "", "cbr128_stereo.mp3", "0:05", "", "", "", ""},
        {"cbr320_48k.mp3", "", "cbr320_48k.mp3", "0:05", "", "", "", ""},
        {"cbr64_mono.mp3", "", "cbr64_mono.mp3", "0:05", "", "", "", ""},
        {"vbr_xing.mp3", "", "vbr_xing.mp3", "0:05", "", "", "", ""},
        {"vbr_xing_mono.mp3", "", "vbr_xing_mono.mp3", "0:05", "", "", "", ""},
        {"mpeg2_cbr64.mp3", "", "mpeg2_cbr64.mp3", "0:05", "", "", "", ""},
        {"mpeg2_vbr_xing.mp3", "", "mpeg2_vbr_xing.mp3", "0:05", "", "", "", ""},
        {"mpeg25_cbr32_mono.mp3", "", "mpeg25_cbr32_mono.mp3", "0:05", "", "", "", ""},
        {"mpeg25_vbr_xing.mp3", "", "mpeg25_vbr_xing.mp3", "0:05", "", "", "", ""},
        {"Band - Song.mp3", "Band", "Song", "0:05", "", "", "", ""},
        {"id3v1.mp3", "V1 Artist", "V1 Title", "0:05", "V1 Album", "7", "1999", "Rock"},
        {"id3v1_track0.mp3", "V1 Artist", "V1 Title", "0:05", "", "", "", "Jazz"},
        {"id3v22.mp3", "V22 Artist", "V22 Title", "0:05", "V22 Album", "2", "2002", "Jazz"},
        {"id3v23.mp3", "V23 Artist", "V23 Title", "0:05", "V23 Album", "3/12", "2003", "Rock"},
        {"id3v23_and_v1.mp3", "V23 Artist", "V23 Title", "0:05", "V23 Album", "3/12", "2003", "Rock"},
        {"id3v24.mp3", "V24 Artist", "Ünïcödé Titel", "0:05", "V24 Album", "4", "2004", "Jazz"},
        {"id3v2_title_v1_artist.mp3", "V1 Artist", "Title From V2", "0:05", "V1 Album", "7", "1999", "Rock"},
        {"vorbis_tags.ogg", "Ogg Artist", "Ogg Title", "0:05", "Ogg Album", "5", "2005", ""},
        {"vorbis_id3v2_in_front.ogg", "Ogg Artist", "Ogg Title", "0:05", "Ogg Album", "5", "2005", ""},
        {"vorbis_performer.ogg", "The Performer", "Performer Song", "0:05", "", "", "", ""},
        {"vorbis_plain.ogg", "", "vorbis_plain.ogg", "0:05", "", "", "", ""},
        {"Artist - Song.wav", "Artist", "Song", "0:00", "", "", "", ""},
        {"tone_mono.wav", "", "tone_mono.wav", "0:00", "", "", "", ""},
    };
    for (const Expected &e : cases) {
        const QString p = path(e.file);
        const TSongRecord r = makeSongRecord(p, false, QString());
        const TSongRecord want{QString::fromUtf8(e.artist), QString::fromUtf8(e.title), QString::fromUtf8(e.length),
                               QString::fromUtf8(e.album),  QString::fromUtf8(e.track), QString::fromUtf8(e.year),
                               QString::fromUtf8(e.genre),  p};
        for (int i = 0; i < TSongRecord::kFieldCount; ++i)
            EXPECT_EQ(r.field(i), want.field(i)) << e.file << " field " << i;
    }
}

TEST_F(FixtureFiles, StreamValues)
{
    struct Case { const char *file; int version, layer, rate, mode; bool vbr; };
    const Case cases[] = {
        {"cbr128_stereo.mp3", 1, 3, 44100, 1, false}, {"cbr64_mono.mp3", 1, 3, 44100, 3, false},
        {"vbr_xing.mp3", 1, 3, 44100, 1, true},       {"vbr_xing_mono.mp3", 1, 3, 44100, 3, true},
        {"mpeg2_cbr64.mp3", 2, 3, 22050, 1, false},   {"mpeg2_vbr_xing.mp3", 2, 3, 22050, 1, true},
        {"mpeg25_cbr32_mono.mp3", 3, 3, 11025, 3, false}, {"mpeg25_vbr_xing.mp3", 3, 3, 11025, 3, true},
    };
    for (const Case &c : cases) {
        TAudioInfo info;
        info.ReadFromFile(path(c.file));
        ASSERT_EQ(info.UsedReader, TAudioInfo::Reader::Mpeg) << c.file;
        EXPECT_EQ(info.Mpeg.Version, c.version) << c.file;
        EXPECT_EQ(info.Mpeg.Layer, c.layer) << c.file;
        EXPECT_EQ(info.Mpeg.SampleRate, c.rate) << c.file;
        EXPECT_EQ(info.Mpeg.ChannelMode, c.mode) << c.file;
        EXPECT_EQ(info.Mpeg.IsVbr, c.vbr) << c.file;
        // 5.3 s of audio plus the encoder's padding frames.
        const double frames = 5.3 * c.rate / (c.version == 1 ? 1152 : 576);
        EXPECT_GE(info.Mpeg.FrameCount, std::uint32_t(frames)) << c.file;
        EXPECT_LE(info.Mpeg.FrameCount, std::uint32_t(frames) + 6) << c.file;
    }
    TAudioInfo v24;
    v24.ReadFromFile(path("id3v24.mp3"));
    EXPECT_EQ(v24.ID3v2Version, 4);
    EXPECT_EQ(v24.Mpeg.FirstFramePosition, v24.ID3v2TagSize);

    TAudioInfo ogg;
    ogg.ReadFromFile(path("vorbis_performer.ogg"));
    EXPECT_EQ(ogg.Ogg.Channels, 1);
    EXPECT_EQ(ogg.Ogg.SampleCount, 233730); // 5.3 s at 44100 Hz
    TAudioInfo front;
    front.ReadFromFile(path("vorbis_id3v2_in_front.ogg"));
    EXPECT_GT(front.Ogg.ID3v2Size, 0u);
    EXPECT_EQ(front.Ogg.SampleCount, 233730);
}

TEST_F(FixtureFiles, WmaRecords)
{
    // The length comes from the file size and the header's maximum bitrate, an estimate.
    TSongRecord r = makeSongRecord(path("wma_tags.wma"), false, QString());
    EXPECT_EQ(r.Artist, u"WMA Artist");
    EXPECT_EQ(r.Title, u"WMA Title");
    EXPECT_EQ(r.Album, u"WMA Album");
    EXPECT_EQ(r.Year, u"2006");
    EXPECT_EQ(r.Track, u"6");
    EXPECT_EQ(r.Genre, QString());
    TAudioInfo info;
    info.ReadFromFile(path("wma_tags.wma"));
    EXPECT_TRUE(info.Wma.Valid);
    EXPECT_EQ(info.Wma.Channels, 2);
    EXPECT_EQ(info.Wma.SampleRate, 44100u);
    EXPECT_GE(info.Seconds, 5);
    EXPECT_LE(info.Seconds, 8);
    r = makeSongRecord(path("wma_plain.wma"), false, QString());
    EXPECT_EQ(r.Title, u"wma_plain.wma");
    EXPECT_EQ(r.Artist, QString());
}
