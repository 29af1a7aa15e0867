#include "FuzzTarget.h"
// The files the shortcuts window reads back from disk (desktop entries, file-manager actions,
// mimeapps.list) and the chosen-types text: anything may be in them.
#include "desktop/ChosenTypes.h"
#include "desktop/DesktopEntryText.h"
#include "desktop/MimeAppsList.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *group : {"Desktop Entry", "Nemo Action", "X-Action-Profile main"})
        (void)DesktopEntryText::value(bytes, QString::fromLatin1(group), u"Exec");
    (void)DesktopEntryText::carriesOwnerMarker(bytes);

    const QString type = QStringLiteral("application/x-sonalo-playlist");
    const QString id = QStringLiteral("sonalo-playlist.desktop");
    const QByteArray registered = MimeAppsList::setDefault(bytes, type, id);
    // Whatever the file held, ours is the default afterwards, and a second edit changes nothing.
    if (MimeAppsList::firstDefault(registered, type) != id || MimeAppsList::setDefault(registered, type, id) != registered)
        std::abort();
    (void)MimeAppsList::removeApplication(registered, id);
    (void)MimeAppsList::removeApplication(bytes, id);

    for (const QString &e : ChosenTypes::normalized(ChosenTypes::ChosenExtensions(QString::fromUtf8(bytes))))
        if (e.isEmpty() || e.contains(u';') || e.contains(u' ') || e.startsWith(u'.'))
            std::abort();
    return 0;
}
