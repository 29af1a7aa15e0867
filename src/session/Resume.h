#pragma once

#include "core/ResumePoint.h"

class Session;

// Taking where the user is and coming back there: the song (loaded, paused at its position),
// the sort, the search term and the first visible row.
namespace Resume {

// The file kept beside the last playlist.
QString fileFor(const QString &lastPlaylistPath);
ResumePoint capture(Session &session, int topRow);
// After the last playlist was loaded. Returns the row to show first, within the shown list.
int apply(const ResumePoint &point, Session &session);

} // namespace Resume
