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
        {"vorbis_tags.ogg", "Ogg Artist", "Ogg Title", "0:05", "Ogg Album", "5", "2005", "Ambient"},
        {"vorbis_id3v2_in_front.ogg", "Ogg Artist", "Ogg Title", "0:05", "Ogg Album", "5", "2005", "Ambient"},
        {"vorbis_performer.ogg", "The Performer", "Performer Song", "0:05", "", "", "", ""},
        {"vorbis_plain.ogg", "", "vorbis_plain.ogg", "0:05", "", "", "", ""},
        {"Artist - Song.wav", "Artist", "Song", "0:05", "", "", "", ""},
        {"tone_mono.wav", "", "tone_mono.wav", "0:05", "", "", "", ""},
        {"wav_info.wav", "New Artist", "New Title", "0:05", "New Album", "7", "2007", "Blues"},
        {"wav_id3.wav", "Id3 Artist", "Id3 Title", "0:05", "", "", "", "Jazz"},
        {"flac_tags.flac", "New Artist", "New Title", "0:05", "New Album", "7", "2007", "Blues"},
        {"flac_id3v2_in_front.flac", "New Artist", "New Title", "0:05", "New Album", "7", "2007", "Blues"},
        {"Band - Flac Song.flac", "Band", "Flac Song", "0:05", "", "", "", ""},
        {"opus_tags.opus", "New Artist", "New Title", "0:05", "New Album", "7", "2007", "Blues"},
        {"opus_plain.opus", "", "opus_plain.opus", "0:05", "", "", "", ""},
        {"aac_tags.m4a", "New Artist", "New Title", "0:05", "New Album", "7", "2007", "Blues"},
        {"aac_faststart.m4a", "New Artist", "New Title", "0:05", "New Album", "7", "2007", "Blues"},
        {"alac_tags.m4a", "New Artist", "New Title", "0:05", "New Album", "7", "2007", "Blues"},
        {"aac_plain.m4a", "", "aac_plain.m4a", "0:05", "", "", "", ""},
        {"wma_tags.wma", "WMA Artist", "WMA Title", "0:05", "WMA Album", "6", "2006", "Jazz"},
        {"wma_plain.wma", "", "wma_plain.wma", "0:05", "", "", "", ""},
        // ffmpeg's "date" is a descriptor no WMA reader takes as the year; its track is WM/TrackNumber.
        {"wma_tracknumber.wma", "", "Numbered", "0:05", "", "6", "", ""},
        {"wma_320k.wma", "WMA Artist", "High Rate", "0:05", "", "", "", ""},
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

TEST_F(FixtureFiles, LowBitrateMp3LengthsComeFromTheStreamsFrames)
{
    // 63.4 s each; ffmpeg's first frame, holding the Info header, has a higher bitrate.
    const struct { const char *file; int version, bitrate, mode; } cases[] = {
        {"low_ffmpeg_mpeg25_8k_mono.mp3", 3, 8, 3},    {"low_ffmpeg_mpeg25_16k_stereo.mp3", 3, 16, 1},
        {"low_ffmpeg_mpeg2_16k_mono.mp3", 2, 16, 3},   {"low_ffmpeg_mpeg2_32k_stereo.mp3", 2, 32, 1},
        {"low_ffmpeg_mpeg2_48k_mono.mp3", 2, 48, 3},   {"low_ffmpeg_mpeg1_32k_mono.mp3", 1, 32, 3},
        {"low_ffmpeg_mpeg1_48k_stereo.mp3", 1, 48, 1}, {"low_mpeg25_8k_mono.mp3", 3, 8, 3},
        {"low_mpeg25_16k_stereo.mp3", 3, 16, 1},       {"low_mpeg2_16k_mono.mp3", 2, 16, 3},
        {"low_mpeg2_32k_stereo.mp3", 2, 32, 1},        {"low_mpeg2_48k_mono.mp3", 2, 48, 3},
        {"low_mpeg1_32k_mono.mp3", 1, 32, 3},          {"low_mpeg1_48k_stereo.mp3", 1, 48, 1},
    };
    for (const auto &c : cases) {
        TAudioInfo info;
        info.ReadFromFile(path(c.file));
        ASSERT_EQ(info.UsedReader, TAudioInfo::Reader::Mpeg) << c.file;
        EXPECT_EQ(info.Seconds, 63) << c.file;
        EXPECT_EQ(info.Mpeg.Version, c.version) << c.file;
        EXPECT_EQ(info.Mpeg.Bitrate, c.bitrate) << c.file;
        EXPECT_EQ(info.Mpeg.ChannelMode == TMpegInfo::kSingleChannel, c.mode == 3) << c.file;
        EXPECT_FALSE(info.Mpeg.IsVbr) << c.file;
    }
}

TEST_F(FixtureFiles, NewerFormatsStreamValues)
{
    TAudioInfo flac, opus, aac, alac, wav;
    flac.ReadFromFile(path("flac_tags.flac"));
    EXPECT_EQ(flac.Flac.SampleCount, 233730u);
    EXPECT_EQ(flac.Flac.Channels, 2);
    EXPECT_EQ(flac.Flac.BitsPerSample, 16);
    opus.ReadFromFile(path("opus_tags.opus"));
    EXPECT_EQ(opus.Opus.Channels, 2);
    EXPECT_EQ(opus.Opus.InputSampleRate, 48000u);
    EXPECT_NEAR(opus.Opus.GetDuration(), 5.3, 0.03);
    aac.ReadFromFile(path("aac_tags.m4a"));
    alac.ReadFromFile(path("alac_tags.m4a"));
    EXPECT_EQ(aac.Mp4.Codec, u"mp4a");
    EXPECT_EQ(alac.Mp4.Codec, u"alac");
    for (const TAudioInfo *m : {&aac, &alac}) {
        EXPECT_EQ(m->Mp4.Channels, 2);
        EXPECT_EQ(m->Mp4.SampleRate, 44100u);
        EXPECT_NEAR(m->Mp4.GetDuration(), 5.3, 0.05);
    }
    wav.ReadFromFile(path("wav_info.wav"));
    EXPECT_TRUE(wav.Wav.InfoFound);
    EXPECT_EQ(wav.Wav.DataSize, 233730u * 4);
    EXPECT_DOUBLE_EQ(wav.Wav.GetDuration(), 5.3);
}

TEST_F(FixtureFiles, WmaPlayDurationWithoutPreroll)
{
    // The size over the maximum bitrate gave 6 s for these 5.3 s.
    TAudioInfo info;
    info.ReadFromFile(path("wma_tags.wma"));
    EXPECT_TRUE(info.Wma.Valid);
    EXPECT_EQ(info.Wma.Channels, 2);
    EXPECT_EQ(info.Wma.SampleRate, 44100u);
    EXPECT_NEAR(info.Wma.Duration, 5.3, 0.1);
}
