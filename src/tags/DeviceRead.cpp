#include "tags/DeviceRead.h"

#include "tags/ReaderFailureHook.h"
#include "tags/ReaderResult.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>

bool WindowedReader::readRaw(qint64 pos, qint64 n, QByteArray &out)
{
    // Keeps out's capacity: the windows are refilled in place.
    out.resize(qsizetype(n));
    qint64 got = 0;
    if (m_device) {
        if (!m_device->seek(pos)) {
            out.resize(0);
            return false;
        }
        while (got < n) {
            const qint64 r = m_device->read(out.data() + got, n - got);
            if (r < 0) {
                out.resize(0);
                return false;
            }
            if (r == 0)
                break;
            got += r;
        }
    } else {
        while (got < n) {
            const ssize_t r = ::pread(m_fd, out.data() + got, size_t(n - got), off_t(pos + got));
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                m_error = QString::fromStdString(std::error_code(errno, std::generic_category()).message());
                out.resize(0);
                return false;
            }
            if (r == 0)
                break;
            got += r;
        }
    }
    out.resize(qsizetype(got));
    return true;
}

bool WindowedReader::fill(Window &w, qint64 pos, qint64 n)
{
    w.start = pos;
    return readRaw(pos, n, w.data);
}

bool WindowedReader::readAt(qint64 pos, qint64 n, QByteArray &out)
{
    out.resize(0);
    if (pos < 0 || n <= 0 || pos >= m_size)
        return true;
    n = std::min(n, m_size - pos);
    const Window *from = nullptr;
    for (const Window *w : {&m_head, &m_tail, &m_moving})
        if (w->holds(pos, n))
            from = w;
    if (!from) {
        bool ok = true;
        if (pos + n <= m_window && m_head.data.isEmpty()) {
            ok = fill(m_head, 0, std::min(m_window, m_size));
            from = &m_head;
        } else if ((pos + n == m_size && n <= kTailMax) || pos >= m_size - m_window) {
            const qint64 start = std::min(pos, std::max<qint64>(0, m_size - m_window));
            ok = fill(m_tail, start, m_size - start);
            from = &m_tail;
        } else if (n <= m_window) {
            ok = fill(m_moving, pos, std::min(m_window, m_size - pos));
            from = &m_moving;
        } else {
            return readRaw(pos, n, out);
        }
        if (!ok)
            return false;
    }
    // A file that shrank since its size was taken gives what its window got.
    const qint64 offset = pos - from->start;
    const qint64 take = std::clamp<qint64>(from->data.size() - offset, 0, n);
    out.resize(qsizetype(take));
    std::memcpy(out.data(), from->data.constData() + offset, size_t(take));
    return true;
}

QString WindowedReader::errorString() const
{
    return m_device ? m_device->errorString() : m_error;
}

bool readAt(WindowedReader &device, qint64 pos, qint64 n, QByteArray &out)
{
    return device.readAt(pos, n, out);
}

int readStructure(WindowedReader &device, qint64 pos, qint64 n, QByteArray &out, QByteArrayView signature)
{
    if (!device.readAt(pos, n, out))
        return deviceFailure(device);
    if (pos < 0 || out.size() < n)
        return ReaderResult::TooShort;
    if (!QByteArrayView(out).startsWith(signature))
        return ReaderResult::NoTag;
    return ReaderResult::Ok;
}

int deviceFailure(const WindowedReader &device)
{
    reportReaderFailure(device.errorString());
    return ReaderResult::UnexpectedFailure;
}
