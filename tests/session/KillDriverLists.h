#pragma once

#include "core/SongRecord.h"

#include <QByteArray>
#include <QString>

// What the kill driver writes, known to the test that reads it back.
namespace KillDriverLists {

inline TSongRecord song(int serial)
{
    TSongRecord r;
    r.Artist = QStringLiteral("Artist %1").arg(serial % 97);
    r.Title = QStringLiteral("Title Ä %1").arg(serial);
    r.Length = QStringLiteral("3:%1").arg(serial % 60, 2, 10, QLatin1Char('0'));
    r.Album = QStringLiteral("Album %1").arg(serial % 13);
    r.Path = QStringLiteral("/music/%1.mp3").arg(serial);
    return r;
}

// Two playlists of 100,000 songs that differ in every song.
inline SongList saved(int which)
{
    SongList list;
    list.reserve(100'000);
    for (int i = 0; i < 100'000; ++i)
        list.append(song(i * 2 + which));
    return list;
}

inline QByteArray settings(int which)
{
    QByteArray text = "[suche]\r\nsucheoffen=" + QByteArray(which ? "1" : "0") + "\r\n[spalten]\r\n";
    for (int i = 0; i < 2000; ++i)
        text += "spalte_" + QByteArray::number(i) + "=" + QByteArray::number(which * 1000 + i) + "\r\n";
    return text;
}

} // namespace KillDriverLists
