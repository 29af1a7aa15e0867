#pragma once

#include <QString>

// The five ways the playing song is shown, as the display menu offers them; None when no item
// of the five is ticked (stored settings may name a mode that does not exist).
enum class SongDisplayMode { ArtistTitle, ArtistTitleAlbum, ArtistTitleAlbumTrack, ArtistTitleGenre, PathAndFile, None };

// The check marks of the display menu.
struct SongDisplayOptions
{
    SongDisplayMode mode = SongDisplayMode::ArtistTitle;
    bool inTitle = false;  // saheader
    bool inStatus = true;  // sastatus
};

// What the display text is made of, as the tag readers gave it.
struct SongTagFields
{
    QString artist, title, album, genre, track;
};

// Fills the gaps of one song's fields: empty album, genre and track become "??"; a title
// like "Band - Song.mp3" without an artist gives artist "Band" and title "Song"; an artist or
// title still empty becomes "??".
SongTagFields SongDisplayFields(SongTagFields fields);

// The display text of the playing song for one mode; path is used by PathAndFile only.
QString SongDisplayText(const SongTagFields &completed, SongDisplayMode mode, const QString &path);

// What the main window's title becomes when the song is shown there.
QString SongWindowTitle(const QString &displayText);
