#include "ByteBuilders.h"

#include "../TempDir.h"

#include "tags/CoverChoice.h"
#include "tags/DeviceRead.h"
#include "tags/SongDetails.h"


#include <gtest/gtest.h>

using namespace bytes;

namespace {

// Stand-ins for picture bytes: the readers never look inside them.
const QByteArray kPng = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(300, 'p');
const QByteArray kJpeg = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(200, '\xFF') + QByteArray("\xFF\xD9", 2);

QByteArray apic(int version, const char *mime, int type, const QByteArray &picture)
{
    if (version == 2)
        return id3Frame(2, "PIC", of({0}) + QByteArray(mime, 3) + of({type}) + "desc" + of({0}) + picture);
    return id3Frame(version, "APIC", of({3}) + mime + of({0, type}) + "desc" + of({0}) + picture);
}
// The FLAC picture structure (also the decoded METADATA_BLOCK_PICTURE), stating length.
QByteArray flacPicture(int type, const QByteArray &mime, const QByteArray &picture, qint64 length = -1)
{
    return be32(std::uint32_t(type)) + be32(std::uint32_t(mime.size())) + mime + be32(4) + "Desc" + be32(640)
        + be32(480) + be32(24) + be32(0) + be32(std::uint32_t(length < 0 ? picture.size() : length)) + picture;
}
QByteArray blockPicture(int type, const QByteArray &mime, const QByteArray &picture)
{
    return "METADATA_BLOCK_PICTURE=" + flacPicture(type, mime, picture).toBase64();
}
QByteArray wmPicture(int type, const QString &mime, const QByteArray &picture, qint64 length = -1)
{
    return of({type}) + le32(std::uint32_t(length < 0 ? picture.size() : length)) + utf16le(mime) + of({0, 0})
        + utf16le(QStringLiteral("d")) + of({0, 0}) + picture;
}
QByteArray covr(const QByteArray &picture, int dataType)
{
    return mp4Item("covr", picture, dataType);
}
QByteArray unsync(const QByteArray &bytes)
{
    QByteArray out;
    for (char c : bytes) {
        out += c;
        if (std::uint8_t(c) == 0xFF)
            out += '\0';
    }
    return out;
}

struct Case
{
    const char *name;
    SongDetails::Container container;
    QByteArray file;
    int pictures;        // entries found
    QByteArray expected; // what the preferred picture loads to (empty: none loads)
    const char *mime;
};

SongDetails readBytes(const QByteArray &bytes, SongDetails::Container container)
{
    MemoryDevice dev(bytes);
    WindowedReader reader(dev.buffer);
    return SongDetails::read(reader, container);
}

} // namespace

TEST(SongDetails, EmbeddedPicturesOfEveryContainer)
{
    using C = SongDetails::Container;
    const QByteArray mpegAudio = cbrFrames(3);
    const QByteArray v4unsync = QByteArray("APIC") + synchsafe(std::uint32_t(unsync(of({0}) + "image/jpeg" + of({0, 3, 0}) + kJpeg).size()))
        + of({0, 2}) + unsync(of({0}) + "image/jpeg" + of({0, 3, 0}) + kJpeg);
    const QByteArray oggWith = oggPage(vorbisIdentification(2, 44100, 128000), 0, 2)
        + oggPage(vorbisComments("v", {"TITLE=T", blockPicture(4, "image/png", kPng), blockPicture(3, "image/jpeg", kJpeg)}))
        + oggPage(zeros(100), 44100, 4);
    const Case cases[] = {
        {"ID3v2.3 back then front cover: the front wins", C::Mpeg,
         id3Tag(3, apic(3, "image/png", 4, kPng) + apic(3, "image/jpeg", 3, kJpeg), 10) + mpegAudio, 2, kJpeg, "image/jpeg"},
        {"ID3v2.2 PIC", C::Mpeg, id3Tag(2, apic(2, "PNG", 3, kPng)) + mpegAudio, 1, kPng, "image/png"},
        {"ID3v2.4 unsynchronised frame", C::Mpeg, id3Tag(4, v4unsync) + mpegAudio, 1, kJpeg, "image/jpeg"},
        {"ID3v2.3 whole tag unsynchronised", C::Mpeg,
         id3Header(3, 0x80, std::uint32_t(unsync(apic(3, "image/jpeg", 3, kJpeg)).size())) + unsync(apic(3, "image/jpeg", 3, kJpeg)) + mpegAudio,
         1, kJpeg, "image/jpeg"},
        {"ID3v2 stated length past the end of the file", C::Mpeg,
         (id3Header(3, 0, 5000) + apic(3, "image/png", 3, kPng)).left(200), 1, {}, "image/png"},
        {"FLAC two PICTURE blocks", C::Flac,
         QByteArray("fLaC") + flacBlock(0, flacStreamInfo(44100, 2, 16, 44100)) + flacBlock(6, flacPicture(0, "image/jpeg", kJpeg))
             + flacBlock(6, flacPicture(3, "image/png", kPng), true) + zeros(100),
         2, kPng, "image/png"},
        {"FLAC picture stating more than its block", C::Flac,
         QByteArray("fLaC") + flacBlock(0, flacStreamInfo(44100, 2, 16, 44100))
             + flacBlock(6, flacPicture(3, "image/png", kPng, 1 << 30), true) + zeros(100),
         1, {}, "image/png"},
        {"Ogg Vorbis METADATA_BLOCK_PICTURE", C::Ogg, oggWith, 2, kJpeg, "image/jpeg"},
        {"Ogg Vorbis base64 that does not decode", C::Ogg,
         oggFile({"TITLE=T", "METADATA_BLOCK_PICTURE=%%%not base64%%%"}), 0, {}, ""},
        {"Opus METADATA_BLOCK_PICTURE", C::Opus, opusFile({"TITLE=T", blockPicture(3, "image/png", kPng)}), 1, kPng, "image/png"},
        {"MP4 covr JPEG and PNG", C::Mp4, mp4File(covr(kJpeg, 13) + covr(kPng, 14)), 2, kJpeg, "image/jpeg"},
        {"MP4 covr past the end", C::Mp4, mp4File(covr(kPng, 14)).chopped(50), 1, {}, "image/png"},
        {"MP4 covr with a 64-bit size past the end", C::Mp4,
         mp4File(atom("covr", atom64("data", be32(14) + be32(0) + kPng))).chopped(50), 1, {}, "image/png"},
        {"WMA WM/Picture", C::Wma,
         asfFile(asfPlausible() << asfExtendedContent({{QStringLiteral("WM/Picture"), 1, wmPicture(0, QStringLiteral("image/png"), kPng)},
                                                      {QStringLiteral("WM/Picture"), 1, wmPicture(3, QStringLiteral("image/jpeg"), kJpeg)}})),
         2, kJpeg, "image/jpeg"},
        {"WAV with an ID3v2 tag in its id3 chunk", C::Wav,
         wavFile({wavFormat(2, 44100, 16), riffChunk("data", zeros(400)), riffChunk("id3 ", id3Tag(3, apic(3, "image/png", 3, kPng)))}),
         1, kPng, "image/png"},
        {"WMA WM/Picture stating more than its value", C::Wma,
         asfFile(asfPlausible() << asfExtendedContent({{QStringLiteral("WM/Picture"), 1, wmPicture(3, QStringLiteral("image/png"), kPng, 99999)}})),
         1, {}, "image/png"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const SongDetails d = readBytes(c.file, c.container);
        ASSERT_EQ(d.pictures.size(), c.pictures);
        MemoryDevice dev(c.file);
        WindowedReader reader(dev.buffer);
        const int preferred = d.preferredPicture();
        if (c.expected.isEmpty()) {
            for (const PictureEntry &e : d.pictures) {
                EXPECT_FALSE(e.complete);
                EXPECT_TRUE(SongDetails::loadPicture(reader, e, 1 << 20).isEmpty());
                EXPECT_EQ(e.mime, QLatin1String(c.mime));
            }
            EXPECT_EQ(preferred, -1);
            continue;
        }
        ASSERT_GE(preferred, 0);
        const PictureEntry &e = d.pictures[preferred];
        EXPECT_EQ(e.mime, QLatin1String(c.mime));
        EXPECT_EQ(e.length, c.expected.size());
        EXPECT_EQ(SongDetails::loadPicture(reader, e, 1 << 20), c.expected);
        // The byte limit refuses rather than cuts.
        EXPECT_TRUE(SongDetails::loadPicture(reader, e, c.expected.size() - 1).isEmpty());
    }
}

TEST(SongDetails, EveryTextField)
{
    using C = SongDetails::Container;
    struct FieldCase
    {
        const char *name;
        C container;
        QByteArray file;
        QList<TagField> fields;
    };
    const FieldCase cases[] = {
        {"ID3v2.3", C::Mpeg,
         id3Tag(3, id3Text(3, "TIT2", "Song") + id3Text(3, "TCON", "(17)") + id3Frame(3, "COMM", of({0}) + "eng" + of({0}) + "Nice")
                       + id3Frame(3, "TXXX", of({0}) + "MOOD" + of({0}) + "calm")),
         {{QStringLiteral("TIT2"), QStringLiteral("Song")}, {QStringLiteral("TCON"), QStringLiteral("Rock")},
          {QStringLiteral("COMM"), QStringLiteral("Nice")}, {QStringLiteral("TXXX:MOOD"), QStringLiteral("calm")}}},
        {"FLAC", C::Flac, flacFile({"TITLE=Song", "replaygain_track_gain=-3 dB"}),
         {{QStringLiteral("VENDOR"), QStringLiteral("vendor")}, {QStringLiteral("TITLE"), QStringLiteral("Song")},
          {QStringLiteral("REPLAYGAIN_TRACK_GAIN"), QStringLiteral("-3 dB")}}},
        {"Ogg without the picture's base64", C::Ogg, oggFile({"ARTIST=Band", blockPicture(3, "image/png", kPng)}),
         {{QStringLiteral("VENDOR"), QStringLiteral("vendor")}, {QStringLiteral("ARTIST"), QStringLiteral("Band")}}},
        {"MP4", C::Mp4, mp4File(mp4Item("\xA9nam", "Song") + mp4Item("trkn", zeros(2) + of({0, 3, 0, 12, 0, 0}), 0)),
         {{QStringLiteral("\u00A9nam"), QStringLiteral("Song")}, {QStringLiteral("trkn"), QStringLiteral("3/12")}}},
        {"WMA", C::Wma,
         asfFile(asfPlausible() << asfContentDescription({utf16le(QStringLiteral("Song")), {}, {}, {}, {}})
                                << asfExtendedContent({{QStringLiteral("WM/AlbumTitle"), 0, utf16le(QStringLiteral("Album"))},
                                                       {QStringLiteral("WM/TrackNumber"), 3, le32(7)}})),
         {{QStringLiteral("Title"), QStringLiteral("Song")}, {QStringLiteral("WM/AlbumTitle"), QStringLiteral("Album")},
          {QStringLiteral("WM/TrackNumber"), QStringLiteral("7")}}},
        {"WAV", C::Wav,
         wavFile({wavFormat(2, 44100, 16), riffChunk("LIST", QByteArray("INFO") + riffChunk("INAM", "Song") + riffChunk("IART", "Band")),
                  riffChunk("data", zeros(40))}),
         {{QStringLiteral("INAM"), QStringLiteral("Song")}, {QStringLiteral("IART"), QStringLiteral("Band")}}},
    };
    for (const FieldCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readBytes(c.file, c.container).fields, c.fields);
    }
}

TEST(CoverChoice, FolderImageAndWhichWins)
{
    TempDir dir;
    const QString song = dir.write(QStringLiteral("a.mp3"), id3Tag(3, apic(3, "image/png", 3, kPng)) + cbrFrames(3));
    auto write = [&](const char *name, const QByteArray &bytes) { ASSERT_FALSE(dir.write(QLatin1String(name), bytes).isEmpty()); };
    const QStringList extensions{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png")};
    const SongDetails details = SongDetails::readFile(song);
    EXPECT_EQ(CoverChoice::choose(song, details, true, extensions).from, CoverChoice::From::Embedded);
    EXPECT_EQ(CoverChoice::choose(song, details, true, extensions).load(1 << 20), kPng);

    write("notes.jpg", kJpeg);
    write("Cover.JPG", kJpeg);
    write("front.webp", kJpeg); // not among the readable extensions here
    EXPECT_EQ(CoverChoice::findFolderImage(song, extensions), dir.path(QStringLiteral("Cover.JPG")));
    const CoverChoice folder = CoverChoice::choose(song, details, true, extensions);
    EXPECT_EQ(folder.from, CoverChoice::From::Folder);
    EXPECT_EQ(folder.load(1 << 20), kJpeg);
    EXPECT_TRUE(folder.load(kJpeg.size() - 1).isEmpty());
    EXPECT_EQ(CoverChoice::choose(song, details, false, extensions).from, CoverChoice::From::Embedded);
    EXPECT_EQ(CoverChoice::choose(song, SongDetails(), false, extensions).from, CoverChoice::From::Folder);
}
