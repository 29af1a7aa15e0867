#include "FuzzTarget.h"
// File lists that come from other programs: a drag or the clipboard ("text/uri-list" and the
// file managers' "x-special/gnome-copied-files"). Every name found must be a local path.
#include "core/AddingSongs.h"

#include <QMimeData>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *format : {"text/uri-list", "x-special/gnome-copied-files"}) {
        QMimeData mime;
        mime.setData(QString::fromLatin1(format), bytes);
        for (const QString &name : fileListFromMimeData(&mime))
            if (!name.startsWith(QLatin1Char('/')))
                std::abort(); // a relative or remote name would be opened as a local file
    }
    return 0;
}
