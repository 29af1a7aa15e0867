#pragma once

#include <QByteArray>
#include <QIODevice>

// Reads up to n bytes at pos of a seekable device into out: fewer at the end of the device,
// none past it, so a size taken from a file never allocates more than the file holds.
// Returns false only when the device reports a read error.
bool readAt(QIODevice &device, qint64 pos, qint64 n, QByteArray &out);

// Tells the user of the device's read error; the result code the reader then returns.
int deviceFailure(const QIODevice &device);

// Reads a structure of exactly n bytes at pos into out: Ok; TooShort when the device ends
// first (also for a pos before its start); NoTag when the bytes do not begin with signature;
// UnexpectedFailure after a read error, which is told.
int readStructure(QIODevice &device, qint64 pos, qint64 n, QByteArray &out, QByteArrayView signature = {});
