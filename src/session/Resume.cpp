#include "session/Resume.h"

#include "session/Session.h"

#include <algorithm>

namespace Resume {

QString fileFor(const QString &lastPlaylistPath)
{
    return lastPlaylistPath + QStringLiteral(".resume");
}

ResumePoint capture(Session &session, int topRow)
{
    ResumePoint p;
    PlaybackControl &playback = session.playback;
    if (playback.songLoaded()) {
        p.songPath = playback.PlayingGivenPath();
        p.position = std::max<qint64>(playback.position(), 0);
    }
    const SortState &sort = session.list.sortState();
    if (sort.SortColumn >= 1 && sort.SortColumn <= ResumePoint::kMaxColumn) {
        p.sortColumn = sort.SortColumn;
        p.sortDescending = sort.SortDescending;
    }
    if (session.lists.ShowingFound())
        p.searchTerm = session.search.searchTerm();
    p.topRow = std::max(topRow, 0);
    return p;
}

int apply(const ResumePoint &point, Session &session)
{
    if (point.sortColumn >= 1 && point.sortColumn <= ResumePoint::kMaxColumn) {
        // A first click sorts ascending, a second the other way round.
        session.list.lvColumnClick(point.sortColumn);
        if (point.sortDescending)
            session.list.lvColumnClick(point.sortColumn);
    }
    if (!point.searchTerm.isEmpty()) {
        session.search.searchFor(point.searchTerm);
    }
    const SongList &shown = session.lists.shown();
    if (!point.songPath.isEmpty()) {
        const auto at = std::find_if(shown.cbegin(), shown.cend(),
                                     [&](const TSongRecord &s) { return s.Path == point.songPath; });
        if (at != shown.cend()) {
            PlaybackControl &playback = session.playback;
            playback.lvDblClick(int(at - shown.cbegin()));
            // Paused where it was: the user starts it again.
            playback.mw2Click();
            playback.seekTo(point.position);
        }
    }
    return shown.isEmpty() ? 0 : std::min(point.topRow, int(shown.size()) - 1);
}

} // namespace Resume
