#include "ui/Session.h"

Session::Session(const Options &options)
    : lists(options.programFolder),
      list(lists, lang),
      playback(lists, options.playerFactory, display, lang),
      search(lists, lang, searchOptions, list, playback),
      playlist(lists, scan, list, output, lang, *options.dialogs, options.addSongFile),
      dialogs(*options.dialogs)
{
    list.attach(search, playback);
    // What playback shows in the status line.
    QObject::connect(&playback, &PlaybackControl::songShownInStatusLine, &list, &ListDisplay::showSong);
    QObject::connect(&playback, &PlaybackControl::statusShowsSong, &list, &ListDisplay::markStatusShowsSong);
}

Session::~Session()
{
    // The player's end-of-song callback reaches into the lists: no song outlives them.
    playback.FreePlayer();
}
