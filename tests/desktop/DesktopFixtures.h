#pragma once

#include <QByteArray>
#include <QString>
#include "support/TestSongs.h"

// A 1x1 PNG, whatever size is asked for.
inline QByteArray tinyPng(int)
{
    return QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489"
                               "0000000d49444154789c6360000002000001e221bc330000000049454e44ae426082");
}
