#include "session/SongInfo.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// Silence: 8 kHz, mono, 16 bit, `seconds` long.
QByteArray wav(int seconds)
{
    const quint32 data = quint32(seconds) * 8000 * 2;
    QByteArray h = "RIFF....WAVEfmt ";
    auto u32 = [&h](quint32 v) { char b[4]; qToLittleEndian(v, b); h.append(b, 4); };
    auto u16 = [&h](quint16 v) { char b[2]; qToLittleEndian(v, b); h.append(b, 2); };
    u32(16); u16(1); u16(1); u32(8000); u32(16000); u16(2); u16(16);
    h += "data";
    u32(data);
    h += QByteArray(qsizetype(data), '\0');
    qToLittleEndian(quint32(h.size() - 8), h.data() + 4);
    return h;
}

QString field(const SongInfo &info, const char *name)
{
    for (const TagField &f : info.details.fields)
        if (f.name == QLatin1String(name))
            return f.value;
    return QStringLiteral("(none)");
}

} // namespace

// A track of a sheet shows as a song: its own length and the sheet's fields, the file's stream.
TEST(SongInfo, ATrackOfASheetIsASongOfItsOwn)
{
    QTemporaryDir dir;
    const auto write = [&dir](const char *name, const QByteArray &bytes) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("album.wav", wav(3));
    write("album.cue", "PERFORMER \"Band\"\nTITLE \"Record\"\nFILE \"album.wav\" WAVE\n"
                       "  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n"
                       "  TRACK 02 AUDIO\n    TITLE \"Two\"\n    PERFORMER \"Guest\"\n    INDEX 01 00:01:00\n");
    const struct
    {
        const char *path;
        qint64 milliseconds;
        const char *title, *performer, *album;
    } cases[] = {
        {"album.cue#1", 1000, "One", "Band", "Record"},
        {"album.cue#2", 2000, "Two", "Guest", "Record"},
        {"album.wav", 3000, "(none)", "(none)", "(none)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const SongInfo info = SongInfo::read(dir.filePath(QLatin1String(c.path)));
        EXPECT_EQ(info.stream.milliseconds, c.milliseconds);
        EXPECT_EQ(info.stream.sampleRate, 8000);
        EXPECT_EQ(field(info, "TITLE"), QLatin1String(c.title));
        EXPECT_EQ(field(info, "PERFORMER"), QLatin1String(c.performer));
        EXPECT_EQ(field(info, "ALBUM"), QLatin1String(c.album));
    }
}
