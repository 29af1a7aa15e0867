#include "tags/DeviceRead.h"

#include "tags/ReaderFailureHook.h"
#include "tags/ReaderResult.h"

namespace {

// readAt for a device whose size the caller knows (asking a file for its size costs a call to
// the system each time).
bool readKnownSize(QIODevice &device, qint64 size, qint64 pos, qint64 n, QByteArray &out)
{
    out.clear();
    if (pos < 0 || n <= 0 || pos >= size)
        return true;
    n = std::min(n, size - pos);
    if (!device.seek(pos))
        return false;
    out.resize(qsizetype(n));
    qint64 got = 0;
    while (got < n) {
        const qint64 r = device.read(out.data() + got, n - got);
        if (r < 0)
            return false;
        if (r == 0)
            break;
        got += r;
    }
    out.truncate(qsizetype(got));
    return true;
}

} // namespace

bool readAt(QIODevice &device, qint64 pos, qint64 n, QByteArray &out)
{
    return readKnownSize(device, device.size(), pos, n, out);
}

int readStructure(QIODevice &device, qint64 pos, qint64 n, QByteArray &out, QByteArrayView signature)
{
    if (!readAt(device, pos, n, out))
        return deviceFailure(device);
    if (pos < 0 || out.size() < n)
        return ReaderResult::TooShort;
    if (!QByteArrayView(out).startsWith(signature))
        return ReaderResult::NoTag;
    return ReaderResult::Ok;
}

int deviceFailure(const QIODevice &device)
{
    reportReaderFailure(device.errorString());
    return ReaderResult::UnexpectedFailure;
}

bool WindowedReader::readAt(qint64 pos, qint64 n, QByteArray &out)
{
    out.clear();
    if (pos < 0 || n <= 0 || pos >= m_size)
        return true;
    n = std::min(n, m_size - pos);
    if (n > m_window)
        return readKnownSize(m_device, m_size, pos, n, out);
    if (m_data.isEmpty() || pos < m_start || pos + n > m_start + m_data.size()) {
        if (!readKnownSize(m_device, m_size, pos, m_window, m_data)) {
            m_data.clear();
            return false;
        }
        m_start = pos;
    }
    out = m_data.mid(qsizetype(pos - m_start), qsizetype(n));
    return true;
}
