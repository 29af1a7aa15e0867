#include "core/ListDisposal.h"

#include <QThreadPool>

#include <utility>

namespace {

// Below this a list is freed at once: the pool's hand-over would cost about as much.
constexpr qsizetype kFreeElsewhereFrom = 20'000;

} // namespace

void releaseSongs(SongList &songs)
{
    if (songs.size() < kFreeElsewhereFrom || !songs.isDetached()) {
        songs = SongList(); // the array is shared or small: letting go here is cheap
        return;
    }
    // A plain pointer: no copy of the list may be left behind in this thread.
    const SongList *owned = new SongList(std::exchange(songs, SongList()));
    QThreadPool::globalInstance()->start([owned] { delete owned; });
}
