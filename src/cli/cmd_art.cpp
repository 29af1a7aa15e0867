#include "cli/CliCommand.h"

#include "tags/CoverChoice.h"
#include "tags/SongDetails.h"

#include "core/FileSystem.h"
#include "core/ProductName.h"
#include "core/SettingsFile.h"
#include "core/picture/PictureDecode.h"

#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// The player's own choice between an embedded and a folder picture, from its settings file.
bool folderFirstFromSettings()
{
    const QString path = SettingsFile::location(FileSystem::programFolder(),
                                                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                                    + QLatin1Char('/') + productName());
    const SettingsFile::ReadResult r = SettingsFile::read(path);
    return r.status == SettingsFile::ReadResult::Read
        && SettingsFile::readBool(r.ini, "einstellungen", "ordnerbild").value_or(false);
}

int art(const QStringList &argsIn)
{
    QStringList args = argsIn;
    QString out, prefer;
    if (!takeOption(args, QStringLiteral("-o"), &out))
        return usageError(QStringLiteral("-o needs a file name"));
    if (!takeOption(args, QStringLiteral("--prefer"), &prefer))
        return usageError(QStringLiteral("--prefer needs embedded or folder"));
    if (!prefer.isEmpty() && prefer != QLatin1String("embedded") && prefer != QLatin1String("folder"))
        return usageError(QStringLiteral("--prefer takes embedded or folder"));
    args.removeAll(QStringLiteral("--"));
    if (args.size() != 1)
        return usageError(QStringLiteral("expected one FILE"));
    if (out.isEmpty() && ::isatty(STDOUT_FILENO))
        return usageError(QStringLiteral("the picture goes to standard output only when that is no terminal; use -o"));
    const bool folderFirst = prefer.isEmpty() ? folderFirstFromSettings() : prefer == QLatin1String("folder");

    const QString &song = args[0];
    const CoverChoice choice = CoverChoice::choose(song, SongDetails::readFile(song), folderFirst,
                                                   PictureDecode::folderImageExtensions());
    if (choice.from == CoverChoice::From::None) {
        cliErr() << "sonalo-cli: " << song << " has no picture\n";
        return kExitFailure;
    }
    const QByteArray bytes = choice.load(PictureDecode::kMaxBytes);
    QString why;
    const QImage image = PictureDecode::decode(bytes, 0, &why);
    if (image.isNull()) {
        cliErr() << "sonalo-cli: the picture of " << song << " (" << choice.describe() << ") cannot be shown: " << why
                 << '\n';
        return kExitFailure;
    }
    QFile target;
    const bool opened = out.isEmpty() ? target.open(stdout, QIODevice::WriteOnly)
                                      : (target.setFileName(out), target.open(QIODevice::WriteOnly | QIODevice::Truncate));
    if (!opened || target.write(bytes) != bytes.size() || !target.flush()) {
        cliErr() << "sonalo-cli: cannot write " << (out.isEmpty() ? QStringLiteral("standard output") : out) << ": "
                 << target.errorString() << '\n';
        return kExitFailure;
    }
    cliErr() << "picture of " << image.width() << " x " << image.height() << " pixels, " << bytes.size()
             << " bytes, from " << choice.describe() << '\n';
    return kExitOk;
}

const CliRegistration artCommand{{
    {QStringLiteral("art")},
    QStringLiteral("FILE [-o OUT] [--prefer embedded|folder]"),
    QStringLiteral("Write the picture the player shows for a song, and say where it came from."),
    QStringLiteral("The picture is written as the song or its folder holds it, to OUT or to standard\n"
                   "output (not to a terminal); where it came from goes to standard error: embedded\n"
                   "in the file (its type and MIME type) or an image beside it (cover, folder, front,\n"
                   "album, albumart with .jpg, .jpeg, .png or .webp, in any letter case). When both\n"
                   "are there, the player's setting decides, or --prefer. A picture that cannot be\n"
                   "decoded within the player's limits is not written (exit status 1)."),
    false,
    art,
}};

} // namespace
