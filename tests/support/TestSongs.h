#pragma once

#include "core/SongRecord.h"

#include <QString>

// Text from a UTF-8 literal: the strict build allows no implicit conversion from char.
inline QString u8(const char *s)
{
    return QString::fromUtf8(s);
}

// A song as the tests need it most: artist, title, length, and a path made of the artist.
inline TSongRecord makeSong(const char *artist, const char *title, const char *length = "3:00")
{
    TSongRecord r;
    r.Artist = u8(artist);
    r.Title = u8(title);
    r.Length = u8(length);
    r.Path = u8(artist) + QLatin1String(".mp3");
    return r;
}
