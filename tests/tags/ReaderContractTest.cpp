// One contract over every reader: an empty input, a sample cut short at many offsets, random
// garbage, and garbage appended. No crash, no hang, the documented result, absent fields empty.
#include "ByteBuilders.h"

#include "tags/AudioInfo.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"
#include "tags/MpegInfo.h"
#include "tags/OggTag.h"
#include "tags/ReaderResult.h"
#include "tags/WmaTag.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    QString text; // a value that must be empty when the reader found nothing
};

Outcome runID3v1(const QByteArray &b)
{
    MemoryDevice d(b);
    TID3v1Tag t;
    const int r = t.ReadFromStream(d.buffer);
    return {r, t.GetTitle() + t.GetArtist()};
}
Outcome runID3v2(const QByteArray &b)
{
    MemoryDevice d(b);
    TID3v2Tag t;
    const int r = t.ReadFromStream(d.buffer);
    return {r, t.GetTitle() + t.GetArtist()};
}
Outcome runMpeg(const QByteArray &b)
{
    MemoryDevice d(b);
    TMpegInfo m;
    m.ReadFromStream(d.buffer);
    return {m.Valid ? 0 : 1, m.Valid ? QString::number(m.FirstFramePosition) : QString()};
}
Outcome runOgg(const QByteArray &b)
{
    MemoryDevice d(b);
    TOGGtag t;
    const bool ok = t.ReadFromStream(d.buffer);
    return {ok ? 0 : 1, t.Title + t.Artist};
}
Outcome runWma(const QByteArray &b)
{
    MemoryDevice d(b);
    TWMATag t;
    const bool ok = t.ReadFromStream(d.buffer);
    return {ok ? (t.Valid ? 0 : 2) : 1, t.Title + t.Artist};
}

struct Reader
{
    const char *name;
    Outcome (*run)(const QByteArray &);
    QByteArray sample;
    int emptyCode;           // result for an empty input
    QList<int> cutCodes;     // results allowed for a cut sample
    int garbageCode;         // result for random bytes
};

QList<Reader> readers()
{
    return {
        {"ID3v1", runID3v1, mp3Sample(), ReaderResult::TooShort, {ReaderResult::Ok, ReaderResult::TooShort, ReaderResult::NoTag}, ReaderResult::NoTag},
        {"ID3v2", runID3v2, mp3Sample(), ReaderResult::TooShort, {ReaderResult::Ok, ReaderResult::TooShort, ReaderResult::NoTag}, ReaderResult::NoTag},
        {"MPEG", runMpeg, mp3Sample(), 1, {0, 1}, 1},
        {"Ogg", runOgg, oggSample(), 1, {0, 1}, 1},
        {"WMA", runWma, wmaSample(), 1, {0, 1, 2}, 2},
    };
}

} // namespace

TEST(ReaderContract, EmptyInput)
{
    for (const Reader &r : readers()) {
        const Outcome o = r.run(QByteArray());
        EXPECT_EQ(o.code, r.emptyCode) << r.name;
        EXPECT_TRUE(o.text.isEmpty()) << r.name;
    }
}

TEST(ReaderContract, WholeSampleReads)
{
    for (const Reader &r : readers()) {
        const Outcome o = r.run(r.sample);
        EXPECT_EQ(o.code, 0) << r.name;
        EXPECT_FALSE(o.text.isEmpty()) << r.name;
    }
}

TEST(ReaderContract, CutShort)
{
    for (const Reader &r : readers()) {
        for (qsizetype cut : cutOffsets(r.sample.size())) {
            const Outcome o = r.run(r.sample.left(cut));
            EXPECT_TRUE(r.cutCodes.contains(o.code)) << r.name << " cut at " << cut << " gave " << o.code;
            if (o.code != 0 && o.code != ReaderResult::TooShort) {
                EXPECT_TRUE(o.text.isEmpty()) << r.name << " cut at " << cut;
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
            EXPECT_TRUE(o.text.isEmpty()) << r.name;
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
        EXPECT_EQ(longer.text, whole.text) << r.name;
    }
}

TEST(ReaderContract, FacadeOnCutFiles)
{
    QTemporaryDir dir;
    const struct { const char *name; QByteArray sample; } samples[] = {
        {"s.mp3", mp3Sample()}, {"s.ogg", oggSample()}, {"s.wma", wmaSample()},
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
