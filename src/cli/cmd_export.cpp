#include "cli/CliCommand.h"
#include "cli/EncodingNames.h"

#include "core/FileSystem.h"
#include "core/PictureStyle.h"
#include "core/TextEncoding.h"
#include "core/playlists/PlaylistFiles.h"
#include "export/ListWriter.h"
#include "tags/PlaylistEntryRecord.h"

namespace {

const char *const kColumnNames[TSongRecord::kFieldCount] = {"artist", "title", "length", "album",
                                                           "track",  "year",  "genre",  "path"};

// "--replace FROM TO", the one option with two values. Returns false when they are missing.
bool takeReplace(QStringList &args, ExportOptions &o)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--"))
            break;
        if (args[i] != QLatin1String("--replace"))
            continue;
        if (i + 2 >= args.size())
            return false;
        o.findReplace = true;
        o.findText = args[i + 1];
        o.replaceText = args[i + 2];
        args.remove(i, 3);
        break;
    }
    return true;
}

int exportList(const QStringList &argsIn)
{
    QStringList args = argsIn;
    ExportOptions o;
    o.templateText = QStringLiteral("%artist% - %title%");
    QString columns, outFile, encodingName = QStringLiteral("utf8");
    if (!takeOption(args, QStringLiteral("--template"), &o.templateText))
        return usageError(QStringLiteral("--template needs a value"));
    // A control character no argument holds tells "--filter" given from not given.
    const QString notGiven(QChar(1));
    QString filter = notGiven;
    if (!takeOption(args, QStringLiteral("--filter"), &filter))
        return usageError(QStringLiteral("--filter needs a value"));
    if (filter != notGiven) {
        o.useFilter = true;
        o.filterText = filter;
    }
    if (!takeOption(args, QStringLiteral("--filter-columns"), &columns))
        return usageError(QStringLiteral("--filter-columns needs a value"));
    if (!columns.isEmpty()) {
        o.filterColumns.fill(false);
        for (const QString &name : columns.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            int found = -1;
            for (int c = 0; c < TSongRecord::kFieldCount; ++c)
                if (name == QLatin1String(kColumnNames[c]))
                    found = c;
            if (found < 0)
                return usageError(QStringLiteral("unknown column \"%1\"").arg(name));
            o.filterColumns[size_t(found)] = true;
        }
    }
    if (!takeOption(args, QStringLiteral("-o"), &outFile))
        return usageError(QStringLiteral("-o needs a file name"));
    if (!takeOption(args, QStringLiteral("--encoding"), &encodingName))
        return usageError(QStringLiteral("--encoding needs a value"));
    const auto encoding = textEncodingFromName(encodingName);
    if (!encoding)
        return usageError(QStringLiteral("unknown encoding \"%1\" (one of %2)")
                              .arg(encodingName, textEncodingNames().join(QLatin1Char(','))));
    if (!takeReplace(args, o))
        return usageError(QStringLiteral("--replace needs FROM and TO"));
    o.html = takeFlag(args, QStringLiteral("--html"));
    o.sort = !takeFlag(args, QStringLiteral("--no-sort"));
    o.unique = takeFlag(args, QStringLiteral("--unique"));
    o.removeEmpty = !takeFlag(args, QStringLiteral("--keep-empty"));
    o.leadingZeros = !takeFlag(args, QStringLiteral("--no-zeros"));
    args.removeAll(QStringLiteral("--"));
    if (args.size() != 1)
        return usageError(QStringLiteral("expected one playlist file"));

    SongLists lists(FileSystem::programFolder());
    LoadAnyPlaylist(lists, args[0], playlistEntryRecorder(lists.programFolder()));
    const QStringList output = exportOutput({}, buildExportLines(lists.AllSongs(), o), o.html, true);
    if (outFile.isEmpty()) {
        for (const QString &line : output)
            cliOut() << line << '\n';
        return kExitOk;
    }
    const QString name = exportFileName(outFile, o.html);
    WriteTextFile(exportFileText(output), name, *encoding, PictureStyle{});
    cliErr() << "wrote " << output.size() << " lines to " << name << '\n';
    return kExitOk;
}

const CliRegistration exportCommand{{
    {QStringLiteral("export")},
    QStringLiteral("PLAYLIST [--template T] [--html] [--no-sort] [--unique] [--keep-empty] [--filter TEXT "
                   "[--filter-columns C,...]] [--replace FROM TO] [--no-zeros] [-o FILE [--encoding E]]"),
    QStringLiteral("Write the playlist as a list of lines, as the export window does."),
    QStringLiteral("--template    the line template (default \"%artist% - %title%\"); placeholders in\n"
                   "              German or English: %interpret%/%artist%, %titel%/%title%,\n"
                   "              %länge%/%length%, %album%, %track%, %jahr%/%year%, %genre%,\n"
                   "              %pfad%/%path%, %dateiname%/%filename%, %123% (running number),\n"
                   "              %tab% (a tab, or a new cell in HTML)\n"
                   "--html        an HTML table; field texts are escaped\n"
                   "--no-sort     keep playlist order (--unique still sorts)\n"
                   "--unique      drop lines equal but for letter case (before --replace)\n"
                   "--keep-empty  keep empty lines\n"
                   "--filter      only songs whose --filter-columns hold TEXT, ignoring case; columns\n"
                   "              artist,title,length,album,track,year,genre,path (default\n"
                   "              artist,title,album)\n"
                   "--replace     replace every FROM by TO in the lines, before sorting and numbering\n"
                   "--no-zeros    running numbers without leading zeros\n"
                   "-o FILE       write to FILE as the window saves: \".htm\" or \".txt\" appended unless\n"
                   "              the name holds it; a picture comes from a name holding the suffix\n"
                   "              and ending in .bmp, .gif, .jpg or .jpeg (list.txt.jpeg);\n"
                   "              --encoding ansi|utf7|utf7-ansi|utf8|utf16le|utf16be|utf32le|utf32be\n"
                   "              (default utf8). Without -o the list is printed."),
    true,
    exportList,
}};

} // namespace
