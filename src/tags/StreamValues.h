#pragma once

#include <QString>

// What the audio information facade takes from each stream reader (every format but MPEG,
// whose values merge two tags): one shape, filled by each reader's streamValues().
struct StreamValues
{
    QString Title, Artist, Album, Year, Genre;
    qint64 Track = 0; // 0: none
    double Seconds = 0;
};
