// One contract over every reader's Read: an empty input, a sample cut short at many offsets,
// random garbage, garbage appended and a device that fails. No crash, no hang, the documented
// result code, absent values empty.
#include "ByteBuilders.h"

#include "tags/AudioInfo.h"
#include "tags/FlacTag.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"
#include "tags/Mp4Tag.h"
#include "tags/MpegInfo.h"
#include "tags/OggTag.h"
#include "tags/OpusTag.h"
#include "tags/ReaderFailureHook.h"
#include "tags/ReaderResult.h"
#include "tags/WavTag.h"
#include "tags/WmaTag.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace bytes;

namespace {

QByteArray mp3Sample()
{
    return id3Tag(3, id3Text(3, "TIT2", "Song") + id3Text(3, "TPE1", "Band"), 30) + cbrFrames(6)
        + id3v1("Song", "Band", "Album", "2000", 0, 1, 2);
}
QByteArray oggSample() { return oggFile({"TITLE=Song", "ARTIST=Band"}); }
QByteArray wmaSample()
{
    return asfFile({asfFileProperties(128000), asfStreamProperties(2, 44100, 16000),
                    asfContentDescription({utf16le(QStringLiteral("Song")), utf16le(QStringLiteral("Band")), {}, {}, {}})});
}

QByteArray flacSample() { return flacFile({"TITLE=Song", "ARTIST=Band"}); }
QByteArray opusSample() { return opusFile({"TITLE=Song", "ARTIST=Band"}); }
QByteArray mp4Sample() { return mp4File(mp4Item("\xA9" "nam", "Song") + mp4Item("\xA9" "ART", "Band")); }
QByteArray wavSample()
{
    return wavFile({wavFormat(2, 44100, 16), riffChunk("LIST", QByteArray("INFO") + riffChunk("INAM", "Song")
                                                                  + riffChunk("IART", "Band")),
                    riffChunk("data", zeros(1000))});
}

QByteArray garbage(std::mt19937 &rng, qsizetype n)
{
    QByteArray out(n, '\0');
    for (char &c : out)
        c = char(rng() & 0xFF);
    return out;
}

// Offsets to cut at: every one near the start, then a spread to the end.
QList<qsizetype> cutOffsets(qsizetype size)
{
    QList<qsizetype> out;
    for (qsizetype i = 0; i < std::min<qsizetype>(size, 200); ++i)
        out << i;
    for (qsizetype i = 200; i < size; i += 37)
        out << i;
    for (qsizetype i = std::max<qsizetype>(0, size - 140); i < size; ++i)
        out << i;
    return out;
}

struct Outcome
{
    int code = 0;
    QString found; // values that must be empty when the reader found nothing
};

// A read-only device of 4096 bytes whose every read fails.
class FailingDevice : public QIODevice
{
public:
    FailingDevice()
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        setErrorString(QStringLiteral("Input/output error"));
    }
    qint64 size() const override { return 4096; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

// One reader seen through the contract: its Read, and what it found.
template <typename Values>
std::function<Outcome(QIODevice &)> contract(QString (*found)(const Values &))
{
    return [found](QIODevice &device) {
        const ReadResult<Values> r = Values::Read(device);
        return Outcome{r.code, found(r.values)};
    };
}

struct Reader
{
    const char *name;
    std::function<Outcome(QIODevice &)> read;
    QByteArray sample;
    int emptyCode;               // for an empty input
    QList<int> cutCodes;         // allowed for a cut sample
    int garbageCode;             // for random bytes
    bool keepsValuesWhenCut;     // after TooShort the values read before the cut stay

    Outcome run(const QByteArray &bytes) const
    {
        MemoryDevice d(bytes);
        return read(d.buffer);
    }
};

QList<Reader> readers()
{
    using namespace ReaderResult;
    return {
        {"ID3v1", contract<TID3v1Tag>([](const TID3v1Tag &t) { return t.GetTitle() + t.GetArtist() + t.GetGenre(); }),
         mp3Sample(), TooShort, {Ok, TooShort, NoTag}, NoTag, false},
        {"ID3v2", contract<TID3v2Tag>([](const TID3v2Tag &t) { return t.GetTitle() + t.GetArtist(); }),
         mp3Sample(), TooShort, {Ok, TooShort, NoTag}, NoTag, true},
        {"MPEG", contract<TMpegInfo>([](const TMpegInfo &m) {
             return m.FirstFramePosition < 0 && m.Bitrate == 0 && m.Duration == 0 ? QString()
                                                                                 : QString::number(m.FirstFramePosition);
         }),
         mp3Sample(), NoTag, {Ok, NoTag}, NoTag, false},
        {"Ogg", contract<TOGGtag>([](const TOGGtag &t) { return t.Title + t.Artist + t.Vendor; }),
         oggSample(), TooShort, {Ok, TooShort}, NoTag, false},
        // Bytes that are no ASF file read as Ok without a valid stream, so the facade still
        // shows such a file by its name.
        {"WMA", contract<TWMATag>([](const TWMATag &t) { return t.Title + t.Artist; }),
         wmaSample(), TooShort, {Ok, TooShort}, Ok, false},
        {"FLAC", contract<TFlacTag>([](const TFlacTag &t) { return t.Title + t.Artist + t.Vendor; }),
         flacSample(), TooShort, {Ok, TooShort}, NoTag, false},
        {"Opus", contract<TOpusTag>([](const TOpusTag &t) { return t.Title + t.Artist + t.Vendor; }),
         opusSample(), TooShort, {Ok, TooShort}, NoTag, false},
        {"MP4", contract<TMp4Tag>([](const TMp4Tag &t) { return t.Title + t.Artist + t.Brand; }),
         mp4Sample(), TooShort, {Ok, TooShort}, NoTag, false},
        {"WAV", contract<TWavTag>([](const TWavTag &t) { return t.Title + t.Artist + (t.Channels ? QString::number(t.Channels) : QString()); }),
         wavSample(), TooShort, {Ok, TooShort}, NoTag, false},
    };
}

} // namespace

TEST(ReaderContract, EmptyInput)
{
    for (const Reader &r : readers()) {
        const Outcome o = r.run(QByteArray());
        EXPECT_EQ(o.code, r.emptyCode) << r.name;
        EXPECT_TRUE(o.found.isEmpty()) << r.name;
    }
}

TEST(ReaderContract, WholeSampleReads)
{
    for (const Reader &r : readers()) {
        const Outcome o = r.run(r.sample);
        EXPECT_EQ(o.code, ReaderResult::Ok) << r.name;
        EXPECT_FALSE(o.found.isEmpty()) << r.name;
    }
}

TEST(ReaderContract, CutShort)
{
    for (const Reader &r : readers()) {
        for (qsizetype cut : cutOffsets(r.sample.size())) {
            const Outcome o = r.run(r.sample.left(cut));
            EXPECT_TRUE(r.cutCodes.contains(o.code)) << r.name << " cut at " << cut << " gave " << o.code;
            if (o.code != ReaderResult::Ok && !(o.code == ReaderResult::TooShort && r.keepsValuesWhenCut)) {
                EXPECT_TRUE(o.found.isEmpty()) << r.name << " cut at " << cut;
            }
        }
    }
}

TEST(ReaderContract, RandomGarbage)
{
    std::mt19937 rng(1234);
    for (const Reader &r : readers()) {
        for (int round = 0; round < 200; ++round) {
            const QByteArray junk = garbage(rng, 128 + qsizetype(rng() % 3000));
            const Outcome o = r.run(junk);
            EXPECT_EQ(o.code, r.garbageCode) << r.name << " round " << round;
            EXPECT_TRUE(o.found.isEmpty()) << r.name;
        }
    }
}

TEST(ReaderContract, GarbageAppended)
{
    std::mt19937 rng(99);
    for (const Reader &r : readers()) {
        const Outcome whole = r.run(r.sample);
        const Outcome longer = r.run(r.sample + garbage(rng, 5000));
        if (QByteArrayView(r.name) == "ID3v1") {
            // The tag must be the last 128 bytes.
            EXPECT_EQ(longer.code, ReaderResult::NoTag);
            continue;
        }
        EXPECT_EQ(longer.code, whole.code) << r.name;
        EXPECT_EQ(longer.found, whole.found) << r.name;
    }
}

TEST(ReaderContract, ReadErrorIsToldAndGivesUnexpectedFailure)
{
    int told = 0;
    setReaderFailureHook([&told](const QString &message) {
        EXPECT_EQ(message, u"Input/output error");
        ++told;
    });
    for (const Reader &r : readers()) {
        told = 0;
        FailingDevice device;
        const Outcome o = r.read(device);
        EXPECT_EQ(o.code, ReaderResult::UnexpectedFailure) << r.name;
        EXPECT_TRUE(o.found.isEmpty()) << r.name;
        EXPECT_EQ(told, 1) << r.name;
    }
    setReaderFailureHook(nullptr);
}
TEST(ReaderContract, FacadeOnCutFiles)
{
    QTemporaryDir dir;
    const struct { const char *name; QByteArray sample; } samples[] = {
        {"s.mp3", mp3Sample()},   {"s.ogg", oggSample()}, {"s.wma", wmaSample()}, {"s.flac", flacSample()},
        {"s.opus", opusSample()}, {"s.m4a", mp4Sample()}, {"s.wav", wavSample()},
    };
    for (const auto &s : samples) {
        const QString path = dir.filePath(QString::fromLatin1(s.name));
        for (qsizetype cut : cutOffsets(s.sample.size())) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(s.sample.left(cut));
            f.close();
            TAudioInfo info;
            info.ReadFromFile(path);
            // Either the readers' values or the file-name fallback, never a mix with garbage.
            if (info.UsedReader == TAudioInfo::Reader::FileName) {
                EXPECT_EQ(info.Title, QString::fromLatin1(s.name));
                EXPECT_TRUE(info.Artist.isEmpty());
                EXPECT_EQ(info.Seconds, 0);
            } else {
                EXPECT_FALSE(info.Title.isEmpty()) << s.name << ' ' << cut;
                EXPECT_GE(info.Seconds, 0);
            }
        }
    }
}
