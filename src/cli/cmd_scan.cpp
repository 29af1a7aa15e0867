#include "cli/CliCommand.h"
#include "cli/EncodingNames.h"

#include "core/FileSystem.h"
#include "core/FolderScan.h"
#include "core/PictureStyle.h"
#include "core/Playlist.h"
#include "tags/AddSongFile.h"
#include "tags/ReaderFailureHook.h"

#include <QElapsedTimer>

#include <unistd.h>

namespace {

// The scan of the add-folder dialog without the window: the same walk, the same duplicate
// test and the same records, written as a playlist of the songs the dialog would add.
int scan(const QStringList &argsIn)
{
    QStringList args = argsIn;
    QString types = QStringLiteral("mp3,wav,ogg,wma,flac,opus,m4a");
    QString onlyNew, out, programFolder = FileSystem::programFolder();
    QString encodingName = QStringLiteral("utf8");
    if (!takeOption(args, QStringLiteral("--types"), &types) || !takeOption(args, QStringLiteral("--only-new"), &onlyNew)
        || !takeOption(args, QStringLiteral("-o"), &out) || !takeOption(args, QStringLiteral("--program-folder"), &programFolder)
        || !takeOption(args, QStringLiteral("--encoding"), &encodingName))
        return usageError(QStringLiteral("an option is missing its value"));
    FolderScanSettings settings;
    settings.includeSubfolders = !takeFlag(args, QStringLiteral("--no-subfolders"));
    settings.relative = takeFlag(args, QStringLiteral("--relative"));
    args.removeAll(QStringLiteral("--"));
    if (args.size() != 1)
        return usageError(QStringLiteral("expected one FOLDER"));
    if (out.isEmpty())
        return usageError(QStringLiteral("expected -o OUT.slp"));
    const auto encoding = textEncodingFromName(encodingName);
    if (!encoding)
        return usageError(QStringLiteral("unknown encoding \"%1\"").arg(encodingName));

    settings.mp3 = settings.wav = settings.ogg = settings.wma = false;
    settings.flac = settings.opus = settings.m4a = false;
    for (const QString &t : types.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString type = t.trimmed().toLower();
        if (type == QLatin1String("mp3")) settings.mp3 = true;
        else if (type == QLatin1String("wav")) settings.wav = true;
        else if (type == QLatin1String("ogg")) settings.ogg = true;
        else if (type == QLatin1String("wma")) settings.wma = true;
        else if (type == QLatin1String("flac")) settings.flac = true;
        else if (type == QLatin1String("opus")) settings.opus = true;
        else if (type == QLatin1String("m4a")) settings.m4a = true;
        else return usageError(QStringLiteral("unknown file type \"%1\" (mp3, wav, ogg, wma, flac, opus, m4a)").arg(t));
    }
    if (settings.extensions().isEmpty())
        return usageError(QStringLiteral("--types names no file type"));

    settings.folderText = args[0];
    // The dialog adds nothing, silently, for a folder that is not there; a script wants to
    // know that it scanned nothing.
    if (!settings.folderText.contains(QLatin1String(".txt")) && !FileSystem::isDirectory(settings.folderText)) {
        cliErr() << "sonalo-cli: no folder \"" << settings.folderText << "\"\n";
        return kExitFailure;
    }

    if (!programFolder.endsWith(QLatin1Char('/')))
        programFolder += QLatin1Char('/');
    SongLists lists(programFolder);
    settings.onlyNew = !onlyNew.isEmpty();
    if (settings.onlyNew)
        LoadPlaylist(lists, onlyNew);
    const qsizetype before = lists.AllSongs().size();

    setReaderFailureHook([](const QString &message) {
        cliErr() << "sonalo-cli: " << message << '\n';
        cliErr().flush();
    });

    // A progress line for a person watching; scripts reading stderr get only the summary.
    const bool progress = ::isatty(STDERR_FILENO) == 1;
    QElapsedTimer sinceLine;
    sinceLine.start();
    int found = 0, handled = 0;
    auto line = [&](bool force) {
        if (!progress || (!force && sinceLine.elapsed() < 100))
            return;
        cliErr() << "\rfound " << found << ", read " << handled << "   ";
        cliErr().flush();
        sinceLine.restart();
    };
    FolderScanView view;
    view.foundChanged = [&](int n) { found = n; };
    view.handledChanged = [&](int n) { handled = n; };
    view.processEvents = [&] { line(false); };

    ScanState state;
    const FolderScanResult result = runFolderScan(lists, settings, state, view, [&](const QString &path, bool relative) {
        AddSongFile(lists, path, relative);
    });
    if (progress) {
        line(true);
        cliErr() << '\n';
    }

    const SongList added = lists.AllSongs().mid(before);
    const QString written = SavePlaylist(added, out, *encoding, PictureStyle{});
    cliErr() << "found " << result.found << " files, added " << result.added << " songs to " << written << '\n';
    return kExitOk;
}

const CliRegistration registration{{
    {QStringLiteral("scan")},
    QStringLiteral("FOLDER [--types mp3,wav,ogg,wma,flac,opus,m4a] [--no-subfolders] [--relative] [--only-new PLAYLIST]\n"
                   "       [--program-folder DIR] [--encoding NAME] -o OUT.slp"),
    QStringLiteral("Scan a folder tree for audio files and write the songs found as a playlist."),
    QStringLiteral("The add-folder dialog's scan: sub-folders first, then the files of each type in\n"
                   "the order mp3, wav, ogg, wma, flac, opus, m4a; names sorted without regard to\n"
                   "case.\n"
                   "--types           the file types to look for (default: all seven)\n"
                   "--no-subfolders   only the folder itself\n"
                   "--relative        store paths below the program's folder relative to it\n"
                   "--program-folder  the program's folder for --relative (default: this tool's)\n"
                   "--only-new        skip files that PLAYLIST already holds; the songs are then\n"
                   "                  added in sorted order, as the dialog does\n"
                   "--encoding        the playlist's text encoding (default utf8)\n"
                   "FOLDER may name a \".txt\" file listing files to add, one a line.\n"
                   "OUT gets the songs the dialog would add, nothing else."),
    false,
    scan,
}};

} // namespace
