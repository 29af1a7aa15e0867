// ReplayGain values from every tag form, through the one read a starting song makes.
#include "ByteBuilders.h"
#include "TempDir.h"

#include "tags/ReplayGainRead.h"

#include <gtest/gtest.h>

#include <optional>

using namespace bytes;

namespace {

using Opt = std::optional<double>;

struct Expected
{
    Opt trackGain{}, trackPeak{}, albumGain{}, albumPeak{}, headerGain{};
};

struct FormCase
{
    const char *name;
    const char *extension;
    QByteArray file;
    Expected want;
};

// The four ReplayGain texts as taggers write them.
const QList<QByteArray> kTexts = {"REPLAYGAIN_TRACK_GAIN=-6.00 dB", "REPLAYGAIN_TRACK_PEAK=0.988553",
                                  "replaygain_album_gain=+1.50 dB", "REPLAYGAIN_ALBUM_PEAK=1.2"};
const Expected kFromTexts{-6.0, 0.988553, 1.5, 1.2, std::nullopt};

QByteArray txxx(int version, const QByteArray &description, const QByteArray &value, int encoding = 0)
{
    if (encoding == 1) // UTF-16 with a byte order mark before each of the two texts
        return id3Frame(version, version == 2 ? "TXX" : "TXXX",
                        of({1, 0xFF, 0xFE}) + utf16le(QString::fromLatin1(description)) + of({0, 0, 0xFF, 0xFE})
                            + utf16le(QString::fromLatin1(value)));
    return id3Frame(version, version == 2 ? "TXX" : "TXXX", of({encoding}) + description + of({0}) + value);
}

QByteArray rva2(const char *id, int gain512)
{
    return id3Frame(4, "RVA2", QByteArray(id) + of({0}) + of({1, (gain512 >> 8) & 255, gain512 & 255, 16, 0x7F, 0xFF}));
}

QByteArray apeItem(const QByteArray &key, const QByteArray &value)
{
    return le32(std::uint32_t(value.size())) + le32(0) + key + of({0}) + value;
}

QByteArray apeTag(const QList<QByteArray> &items)
{
    QByteArray body;
    for (const QByteArray &i : items)
        body += i;
    return body + QByteArray("APETAGEX") + le32(2000) + le32(std::uint32_t(body.size() + 32))
        + le32(std::uint32_t(items.size())) + le32(0) + zeros(8);
}

QByteArray opusWithHeaderGain(int q78, const QList<QByteArray> &comments)
{
    const QByteArray head = QByteArray("OpusHead") + of({1, 2}) + le16(312) + le32(48000) + le16(std::uint32_t(q78) & 0xFFFF)
        + of({0});
    return oggPage(head, 0, 2) + oggPage(QByteArray("OpusTags") + commentBlock("vendor", comments))
        + oggPage(zeros(100), 480312, 4);
}

QByteArray freeform(const QByteArray &name, const QByteArray &value, const QByteArray &mean = "com.apple.iTunes")
{
    return atom("----", atom("mean", zeros(4) + mean) + atom("name", zeros(4) + name)
                            + atom("data", be32(1) + be32(0) + value));
}

QList<FormCase> formCases()
{
    const QByteArray audio = cbrFrames(20);
    return {
        {"Id3v23Txxx", ".mp3",
         id3Tag(3, txxx(3, "REPLAYGAIN_TRACK_GAIN", "-6.00 dB") + txxx(3, "REPLAYGAIN_TRACK_PEAK", "0.988553")
                       + txxx(3, "replaygain_album_gain", "+1.50 dB") + txxx(3, "REPLAYGAIN_ALBUM_PEAK", "1.2"))
             + audio,
         kFromTexts},
        {"Id3v24Utf16Txxx", ".mp3", id3Tag(4, txxx(4, "REPLAYGAIN_TRACK_GAIN", "-6.00 dB", 1)) + audio, {-6.0}},
        {"Id3v22Txx", ".mp3", id3Tag(2, txxx(2, "REPLAYGAIN_TRACK_GAIN", "-6.00 dB")) + audio, {-6.0}},
        {"Rva2WhereNoTxxx", ".mp3", id3Tag(4, rva2("track", -3072) + rva2("album", 256)) + audio,
         {-6.0, std::nullopt, 0.5}},
        {"TxxxBeforeRva2", ".mp3", id3Tag(4, rva2("track", -3072) + txxx(4, "REPLAYGAIN_TRACK_GAIN", "-2 dB")) + audio,
         {-2.0}},
        {"ApeBehindAudio", ".mp3",
         audio + apeTag({apeItem("REPLAYGAIN_TRACK_GAIN", "-6.00 dB"), apeItem("Cover Art (Front)", QByteArray(3000, 'p')),
                         apeItem("replaygain_track_peak", "0.5")}),
         {-6.0, 0.5}},
        {"ApeBeforeId3v1", ".mp3",
         audio + apeTag({apeItem("REPLAYGAIN_ALBUM_GAIN", "-4 dB")}) + id3v1("t", "a", "b", "2000", 0, 0, 0),
         {std::nullopt, std::nullopt, -4.0}},
        {"Id3v2WinsOverApe", ".mp3",
         id3Tag(3, txxx(3, "REPLAYGAIN_TRACK_GAIN", "-6 dB")) + audio
             + apeTag({apeItem("REPLAYGAIN_TRACK_GAIN", "-1 dB"), apeItem("REPLAYGAIN_TRACK_PEAK", "0.7")}),
         {-6.0, 0.7}},
        {"FlacComments", ".flac", flacFile(kTexts), kFromTexts},
        {"OggVorbisComments", ".ogg", oggFile(kTexts), kFromTexts},
        // -1536/256 = -6 dB against -23 LUFS, 5 dB louder against ReplayGain's -18.
        {"OpusR128AndHeaderGain", ".opus",
         opusWithHeaderGain(-384, {"R128_TRACK_GAIN=-1536", "R128_ALBUM_GAIN=256"}), {-1.0, std::nullopt, 6.0, std::nullopt, -1.5}},
        {"OpusR128WinsOverTexts", ".opus",
         opusWithHeaderGain(0, {"R128_TRACK_GAIN=0", "REPLAYGAIN_TRACK_GAIN=-9 dB"}), {5.0, std::nullopt, std::nullopt, std::nullopt, 0.0}},
        {"Mp4Freeform", ".m4a",
         mp4File(freeform("replaygain_track_gain", "-6.00 dB") + freeform("REPLAYGAIN_ALBUM_PEAK", "0.9")
                 + freeform("replaygain_album_gain", "-9 dB", "com.example.other")),
         {-6.0, std::nullopt, std::nullopt, 0.9}},
        {"NoneInWav", ".wav", QByteArray("RIFF") + le32(4) + QByteArray("WAVE"), {}},
    };
}

class ReplayGainForms : public ::testing::TestWithParam<FormCase>
{
};

} // namespace

TEST_P(ReplayGainForms, ReadFromTheFile)
{
    const FormCase &c = GetParam();
    TempDir dir;
    const QString path = dir.write(QStringLiteral("song") + QLatin1String(c.extension), c.file);
    const ReplayGainValues v = ReplayGainRead::fromFile(path);
    auto near = [](Opt got, Opt want) { return got.has_value() == want.has_value() && (!want || std::abs(*got - *want) < 1e-9); };
    EXPECT_TRUE(near(v.trackGain, c.want.trackGain)) << v.trackGain.value_or(-999);
    EXPECT_TRUE(near(v.trackPeak, c.want.trackPeak)) << v.trackPeak.value_or(-999);
    EXPECT_TRUE(near(v.albumGain, c.want.albumGain)) << v.albumGain.value_or(-999);
    EXPECT_TRUE(near(v.albumPeak, c.want.albumPeak)) << v.albumPeak.value_or(-999);
    EXPECT_TRUE(near(v.opusHeaderGain, c.want.headerGain)) << v.opusHeaderGain.value_or(-999);
    // Every cut of the file reads without a fault (values as far as they are there).
    for (qsizetype cut = 0; cut < c.file.size(); cut += std::max<qsizetype>(1, c.file.size() / 150)) {
        dir.write(QStringLiteral("cut") + QLatin1String(c.extension), c.file.left(cut));
        ReplayGainRead::fromFile(dir.path(QStringLiteral("cut") + QLatin1String(c.extension)));
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, ReplayGainForms, ::testing::ValuesIn(formCases()),
                         [](const ::testing::TestParamInfo<FormCase> &p) { return std::string(p.param.name); });

TEST(ReplayGainText, NumbersAsTaggersWriteThem)
{
    struct Case
    {
        const char *text;
        Opt gain, peak, r128;
    };
    const Case cases[] = {
        {"-6.00 dB", -6.0, std::nullopt, std::nullopt},
        {" +1.5DB ", 1.5, std::nullopt, std::nullopt},
        {"0.988553", 0.988553, 0.988553, std::nullopt},
        {"-512", std::nullopt, std::nullopt, 3.0},
        {"7", 7.0, 7.0, 5.0 + 7.0 / 256},
        {"0", 0.0, std::nullopt, 5.0},      // a peak of 0 says nothing usable
        {"nan", std::nullopt, std::nullopt, std::nullopt},
        {"inf dB", std::nullopt, std::nullopt, std::nullopt},
        {"-61 dB", std::nullopt, std::nullopt, std::nullopt},
        {"1e300", std::nullopt, std::nullopt, std::nullopt},
        {"40000", std::nullopt, std::nullopt, std::nullopt}, // beyond Q7.8
        {"-6,00 dB", std::nullopt, std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReplayGainText::gain(c.text), c.gain);
        EXPECT_EQ(ReplayGainText::peak(c.text), c.peak);
        EXPECT_EQ(ReplayGainText::r128(c.text), c.r128);
    }
}
