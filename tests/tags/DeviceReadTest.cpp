// The readers' windows must hand out exactly the bytes a plain read would, whatever mix of head,
// tail, moving and direct reads a walk makes, from a device or from a descriptor.
#include "../TempDir.h"

#include "tags/DeviceRead.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

QByteArray sample(qsizetype n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char((i * 131 + i / 251) & 0xFF);
    return b;
}

QByteArray expected(const QByteArray &file, qint64 pos, qint64 n)
{
    if (pos < 0 || n <= 0 || pos >= file.size())
        return {};
    return file.mid(qsizetype(pos), qsizetype(std::min(n, qint64(file.size()) - pos)));
}

} // namespace

TEST(WindowedReader, ServesTheBytesOfAPlainReadInAnyOrder)
{
    const qint64 w = WindowedReader::kWindow;
    for (const qsizetype size : {qsizetype(0), qsizetype(100), qsizetype(w), qsizetype(3 * w + 17),
                                 qsizetype(WindowedReader::kTailMax + 3 * w)}) {
        const QByteArray file = sample(size);
        // One walk: head, inside the head, across its end, a tail probe, the moving window, a read
        // longer than a window, a long read to the end, and reads off either end.
        const std::pair<qint64, qint64> walk[] = {
            {0, 10},   {10, 300},  {w - 4, 8},     {size - 128, 128}, {w + 5, 50},        {w + 60, 9},
            {2 * w, w + 1}, {size - 12060, 12060}, {size - 1, 5}, {size, 1}, {-4, 8}, {0, size + 9},
            {3, 0},    {size / 2, 4},
        };
        TempDir dir;
        const QString path = dir.write(QStringLiteral("f.bin"), file);
        ASSERT_FALSE(path.isEmpty());
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        QByteArray copy = file;
        QBuffer buffer(&copy);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        WindowedReader fromDevice(buffer);
        WindowedReader fromFd(fd, size);
        for (const auto &[pos, n] : walk) {
            QByteArray a, b;
            ASSERT_TRUE(fromDevice.readAt(pos, n, a));
            ASSERT_TRUE(fromFd.readAt(pos, n, b));
            EXPECT_EQ(a, expected(file, pos, n)) << "size " << size << " at " << pos << " n " << n;
            EXPECT_EQ(b, a) << "size " << size << " at " << pos << " n " << n;
        }
        ::close(fd);
    }
}

TEST(WindowedReader, AReadErrorIsReportedWithTheSystemsText)
{
    // A folder opens but cannot be read: the descriptor path must fail, not hand out nothing.
    TempDir dir;
    const int fd = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    WindowedReader reader(fd, 100);
    QByteArray out;
    EXPECT_FALSE(reader.readAt(0, 10, out));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(reader.errorString().isEmpty());
    ::close(fd);
}
