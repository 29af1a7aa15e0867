#include "FuzzTarget.h"
// The facade end to end: the input becomes a file whose extension the first byte chooses.
#include "tags/AddSongFile.h"
#include "tags/ReaderFailureHook.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString base = []() -> QString {
        setReaderFailureHook([](const QString &) {});
        return QDir::tempPath() + QStringLiteral("/sonalo-fuzz-audioinfo-%1 - x").arg(::getpid());
    }();
    static const char *const kExtensions[] = {".mp3", ".ogg", ".wma", ".wav", ".MP2", ".Ogg",
                                              ".flac", ".opus", ".m4a", ".aac", ".M4B"};
    constexpr std::size_t kCount = sizeof kExtensions / sizeof kExtensions[0];
    const char *ext = kExtensions[size > 0 ? data[0] % kCount : 0];
    const QString path = base + QLatin1String(ext);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        if (size > 1)
            f.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1));
    }
    (void)makeSongRecord(path, true, QDir::tempPath() + QLatin1Char('/'));
    QFile::remove(path);
    return 0;
}
