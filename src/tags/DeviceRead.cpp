#include "tags/DeviceRead.h"

#include "tags/ReaderFailureHook.h"
#include "tags/ReaderResult.h"

bool readAt(QIODevice &device, qint64 pos, qint64 n, QByteArray &out)
{
    out.clear();
    const qint64 size = device.size();
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
