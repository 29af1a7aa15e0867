#pragma once

// What the benches share: a synthetic library of n songs (997 artists, 331 albums, unique
// titles and paths as a real collection has them), each record in the shape the program keeps
// it (one heap block), and the heap in use.
#include "core/Playlist.h"
#include "core/SongRecord.h"

#include <malloc.h>

#include <cstring>

inline SongList librarySongs(qsizetype n)
{
    SongList list;
    list.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        list.append(TSongRecord{QStringLiteral("Artist %1").arg(i % 997), QStringLiteral("Some Song Title %1").arg(i),
                                QStringLiteral("%1:%2").arg(i % 9).arg(i % 60, 2, 10, QLatin1Char('0')),
                                QStringLiteral("Album Number %1").arg(i % 331), QString::number(i % 20 + 1),
                                QString::number(1960 + i % 60), QStringLiteral("Rock"),
                                QStringLiteral("/home/user/Music/Artist %1/Album Number %2/%3 Some Song Title %4.mp3")
                                    .arg(i % 997).arg(i % 331).arg(i % 20 + 1).arg(i)});
        list.back().pack(); // as loaded or scanned songs are kept
    }
    return list;
}

// The same songs in an array of their own, as a list the program filled itself holds them:
// changing it copies nothing behind the bench's back.
inline SongList ownCopy(const SongList &songs)
{
    SongList copy = songs;
    copy.detach();
    return copy;
}

// Bytes malloc has handed out, the large blocks it maps on their own (a list's array) included.
inline size_t heapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// "--as-loaded" on a bench's command line (taken out of argv before the benchmark library sees
// it): its songs in the shape a playlist load leaves them, texts in blocks shared by many songs,
// instead of one block a song; to measure what the shape costs the table, the sort and the search.
inline bool &benchAsLoaded()
{
    static bool asLoaded = false;
    return asLoaded;
}

inline void takeAsLoadedFlag(int &argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--as-loaded") == 0) {
            benchAsLoaded() = true;
            for (int k = i; k < argc; ++k)
                argv[k] = argv[k + 1];
            --argc;
            return;
        }
    }
}

// The songs in the shape the command line chose.
inline SongList inBenchShape(SongList songs)
{
    if (!benchAsLoaded())
        return songs;
    SongList loaded;
    parsePlaylistText(playlistText(songs), loaded);
    return loaded;
}
