#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// A file's bytes for the readers, served from as few reads as the structures allow: the window
// at its start (the tags of most formats and the first audio frames), the window at its end
// (ID3v1, the last Ogg pages) and one window that moves for what lies elsewhere, so that a walk
// over many small neighbouring structures costs one read instead of a seek and a read each.
// A read longer than a window goes to the file directly, unless it reaches the file's end. The
// size is taken once: the file must not change meanwhile.
//
// Reads up to n bytes at pos into out: fewer at the end of the file, none past it, so a size
// taken from a file never allocates more than the file holds. False only on a read error.
class WindowedReader
{
public:
    explicit WindowedReader(QIODevice &device, qint64 window = kWindow)
        : m_device(&device), m_size(device.size()), m_window(window) {}
    // An open descriptor and the size its fstat gave; the caller closes it.
    WindowedReader(int fd, qint64 size, qint64 window = kWindow) : m_fd(fd), m_size(size), m_window(window) {}

    bool readAt(qint64 pos, qint64 n, QByteArray &out);
    qint64 size() const { return m_size; }
    // The last read error, for the user.
    QString errorString() const;

    static constexpr qint64 kWindow = 4096;
    // A longer read up to the end (the last Ogg pages) becomes the tail window; beyond this it
    // is read directly, so that garbage sizes never cost the file twice in memory.
    static constexpr qint64 kTailMax = 65536;

private:
    struct Window
    {
        qint64 start = 0;
        QByteArray data;
        bool holds(qint64 pos, qint64 n) const
        {
            return !data.isEmpty() && pos >= start && pos + n <= start + data.size();
        }
    };
    bool fill(Window &w, qint64 pos, qint64 n);
    bool readRaw(qint64 pos, qint64 n, QByteArray &out);

    QIODevice *m_device = nullptr;
    int m_fd = -1;
    qint64 m_size;
    qint64 m_window;
    Window m_head, m_tail, m_moving;
    QString m_error;
};

bool readAt(WindowedReader &device, qint64 pos, qint64 n, QByteArray &out);

// Tells the user of the file's read error; the result code the reader then returns.
int deviceFailure(const WindowedReader &device);

// Reads a structure of exactly n bytes at pos into out: Ok; TooShort when the file ends
// first (also for a pos before its start); NoTag when the bytes do not begin with signature;
// UnexpectedFailure after a read error, which is told.
int readStructure(WindowedReader &device, qint64 pos, qint64 n, QByteArray &out, QByteArrayView signature = {});
