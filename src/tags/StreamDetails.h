#pragma once

#include <QString>

class TAudioInfo;

// What a file's audio stream is, for the information window and tools: the values the readers
// found, put into one shape. Zero stands for unknown.
struct StreamDetails
{
    QString codec;
    int bitrate = 0; // kbit/s; the average over the file for variable bit rates
    bool variableBitrate = false;
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    qint64 milliseconds = 0;
    qint64 fileSize = 0;

    static StreamDetails of(const TAudioInfo &info, qint64 fileSize);
};
