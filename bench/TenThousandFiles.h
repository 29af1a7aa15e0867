#pragma once

// The library of the adding and "sonalo-cli info" benches: 10,000 files in 100 artists x 10
// albums, 9,000 ID3v2.3-tagged MP3s of 8 KB and 1,000 untagged WAVs named "Artist - Title".
#include "core/FolderScan.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

constexpr int kArtists = 100, kAlbums = 10, kSongs = 10;
constexpr int kFiles = kArtists * kAlbums * kSongs;

inline void putBe32(QByteArray &b, quint32 v)
{
    for (int s = 24; s >= 0; s -= 8)
        b.append(char((v >> s) & 0xFF));
}

inline void putLe(QByteArray &b, quint32 v, int n)
{
    for (int i = 0; i < n; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// An ID3v2.3 tag with artist, title, album and track, then 20 frames of MPEG-1 Layer III at
// 128 kbit/s (417 bytes each, silent): about 8 KB, the shape of a real file's start.
inline QByteArray mp3(int artist, int album, int song)
{
    QByteArray frames;
    auto frame = [&](const char *id, const QByteArray &text) {
        frames.append(id);
        putBe32(frames, quint32(text.size() + 1));
        frames.append("\0\0\0", 3);
        frames.append(text);
    };
    frame("TPE1", "Artist " + QByteArray::number(artist));
    frame("TIT2", "Song " + QByteArray::number(song) + " of album " + QByteArray::number(album));
    frame("TALB", "Album " + QByteArray::number(album));
    frame("TRCK", QByteArray::number(song + 1));
    QByteArray file("ID3\x03\x00\x00", 6);
    const quint32 size = quint32(frames.size());
    for (int s = 21; s >= 0; s -= 7)
        file.append(char((size >> s) & 0x7F));
    file.append(frames);
    for (int i = 0; i < 20; ++i) {
        file.append("\xFF\xFB\x90\x00", 4);
        file.append(QByteArray(413, '\0'));
    }
    return file;
}

// A short WAV named "Artist - Title.wav": no tags, the name gives both.
inline QByteArray wav()
{
    QByteArray b("RIFF");
    const quint32 data = 8000;
    putLe(b, 36 + data, 4);
    b.append("WAVEfmt ");
    putLe(b, 16, 4), putLe(b, 1, 2), putLe(b, 1, 2), putLe(b, 8000, 4), putLe(b, 8000, 4), putLe(b, 1, 2), putLe(b, 8, 2);
    b.append("data");
    putLe(b, data, 4);
    b.append(QByteArray(int(data), '\x80'));
    return b;
}

struct Library
{
    QTemporaryDir dir;
    QStringList files; // in the order AddFolder finds them
    Library()
    {
        const QByteArray wave = wav();
        for (int a = 0; a < kArtists; ++a)
            for (int l = 0; l < kAlbums; ++l) {
                const QString folder = dir.path() + QStringLiteral("/Artist %1/Album %2/").arg(a, 3, 10, QLatin1Char('0')).arg(l);
                QDir().mkpath(folder);
                for (int s = 0; s < kSongs; ++s) {
                    const bool isWav = s == 9;
                    const QString name = isWav ? QStringLiteral("Artist %1 - Interlude %2.wav").arg(a).arg(l)
                                               : QStringLiteral("%1 Song.mp3").arg(s + 1, 2, 10, QLatin1Char('0'));
                    QFile f(folder + name);
                    if (f.open(QIODevice::WriteOnly))
                        f.write(isWav ? wave : mp3(a, l, s));
                }
            }
        WideFindAllFiles(files, dir.path(), {QStringLiteral(".mp3"), QStringLiteral(".wav")}, true);
    }
};

inline Library &library()
{
    static Library lib;
    return lib;
}

