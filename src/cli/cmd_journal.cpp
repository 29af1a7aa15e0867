#include "cli/CliCommand.h"

#include "core/ProductName.h"
#include "core/SessionJournal.h"

#include <QDateTime>
#include <QStandardPaths>

namespace {

int journalShow(const QStringList &args)
{
    if (args.size() > 1)
        return usageError(QStringLiteral("expected at most one folder"));
    // Without a folder: the player's own, in the per-user data folder.
    const QString journals = args.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                                  + QLatin1Char('/') + productName() + QStringLiteral("/journal")
                                            : args[0];
    QList<SessionJournal::Orphan> found = SessionJournal::orphans(journals);
    found.removeIf([](const SessionJournal::Orphan &o) { return !o.recovered.valid || o.recovered.songs.isEmpty(); });
    if (found.isEmpty()) {
        cliErr() << "sonalo-cli: no playlist to restore in " << journals << '\n';
        return kExitFailure;
    }
    // The newest is the one the start offers.
    const SessionJournal::Orphan &newest = found.first();
    const SessionJournal::Recovered &r = newest.recovered;
    cliErr() << QDateTime::fromMSecsSinceEpoch(r.timeMs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << ", "
             << r.songs.size() << " songs, " << r.changes << " changes after the snapshot"
             << (r.logCut ? QStringLiteral(", a torn last change dropped") : QString()) << " (" << newest.folder << ")\n";
    for (const TSongRecord &song : r.songs)
        printSong(song);
    return kExitOk;
}

const CliRegistration show{{
    {QStringLiteral("journal"), QStringLiteral("show")},
    QStringLiteral("[FOLDER]"),
    QStringLiteral("Print the playlist the next start would offer to restore after a run that did not end normally."),
    QStringLiteral("FOLDER holds one journal folder per window (default: the player's own, journal/ in its\n"
                   "per-user data folder). A summary goes to standard error, the songs to standard output, one a\n"
                   "line as \"sonalo-cli playlist cat\" prints them. Exit code 1 when there is nothing to restore."),
    false,
    journalShow,
}};

} // namespace
