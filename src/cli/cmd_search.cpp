#include "cli/CliCommand.h"

#include "core/Playlist.h"
#include "core/LanguageCode.h"
#include "core/PlaylistSearch.h"
#include "core/SongSearch.h"

namespace {

const char *const kColumnNames[] = {"artist", "title", "length", "album", "track", "year", "genre", "path"};

int search(const QStringList &argsIn)
{
    QStringList args = argsIn;
    SearchOptions options;
    QString columns, mode;
    if (!takeOption(args, QStringLiteral("--columns"), &columns) || !takeOption(args, QStringLiteral("--mode"), &mode))
        return usageError(QStringLiteral("--columns and --mode need a value"));
    if (!columns.isNull()) {
        options.columns.fill(false);
        for (const QString &name : columns.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            int index = -1;
            for (int i = 0; i < TSongRecord::kFieldCount; ++i)
                if (name.trimmed().compare(QLatin1String(kColumnNames[i]), Qt::CaseInsensitive) == 0)
                    index = i;
            if (index < 0)
                return usageError(QStringLiteral("unknown column \"%1\"").arg(name));
            options.columns[size_t(index)] = true;
        }
    }
    if (mode.isNull() || mode == QLatin1String("whole"))
        options.mode = SearchMode::WholeTerm;
    else if (mode == QLatin1String("and"))
        options.mode = SearchMode::And;
    else if (mode == QLatin1String("or"))
        options.mode = SearchMode::Or;
    else
        return usageError(QStringLiteral("unknown mode \"%1\" (whole, and or or)").arg(mode));
    options.exact = takeFlag(args, QStringLiteral("--exact"));
    options.caseSensitive = takeFlag(args, QStringLiteral("--case"));
    options.inverse = takeFlag(args, QStringLiteral("--inverse"));
    const bool regex = takeFlag(args, QStringLiteral("--regex"));
    if (args.size() != 2)
        return usageError(QStringLiteral("expected PLAYLIST and TERM"));

    // An empty term shows the whole playlist, as in the window.
    if (args[1].isEmpty()) {
        SongLists lists;
        LoadPlaylist(lists, args[0]);
        for (const TSongRecord &r : std::as_const(lists.AllSongs()))
            printSong(r);
        return kExitOk;
    }
    const PlaylistSearchOutcome result = searchPlaylistFile(args[0], args[1], options, regex);
    if (!result.ok) {
        cliErr() << "sonalo-cli: " << RegexErrorText(result.errorCode, LanguageCode(QStringLiteral("en"))) << '\n';
        return kExitFailure;
    }
    for (const TSongRecord &r : result.songs)
        printSong(r);
    return kExitOk;
}

const CliRegistration registration{{
    {QStringLiteral("search")},
    QStringLiteral("PLAYLIST TERM [--columns artist,title,...] [--mode whole|and|or] [--exact] [--case] [--inverse] [--regex]"),
    QStringLiteral("Print the songs of a playlist that a search in the window would find."),
    QStringLiteral("Columns: artist, title, length, album, track, year, genre, path (default artist,title,album).\n"
                   "--mode whole   the term as one sequence (default); and: every word; or: any word\n"
                   "--exact        a whole field must equal the term (or each word)\n"
                   "--case         letter case counts\n"
                   "--inverse      the songs that do not match\n"
                   "--regex        TERM is a Perl-compatible regular expression (case-insensitive unless\n"
                   "               --case; ^ and $ match at every field)"),
    false,
    search,
}};

} // namespace
