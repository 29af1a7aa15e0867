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

// Reads of a device served from one window of it, so that a walk over many small neighbouring
// structures (atoms, chunks, page headers, comments) costs one read of the window instead of a
// seek and a read per structure. Same contract as readAt; a read longer than the window goes
// to the device directly. The device's size is taken once: it must not change meanwhile.
class WindowedReader
{
public:
    explicit WindowedReader(QIODevice &device, qint64 window = 4096)
        : m_device(device), m_size(device.size()), m_window(window) {}

    bool readAt(qint64 pos, qint64 n, QByteArray &out);
    QIODevice &device() const { return m_device; }

private:
    QIODevice &m_device;
    qint64 m_size;
    qint64 m_window;
    qint64 m_start = 0;
    QByteArray m_data;
};
