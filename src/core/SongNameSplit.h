#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// "Artist - Title": how a song without tags gets its artist and title from a name. Every form
// of the rule lives here. All split at the first " - "; they differ in what comes off the name
// first and in trimming, each as the place that uses it was designed:
//
//   splitFileName      the tag facade, for a file without usable tags: the extension from the
//                      last "." comes off (every occurrence of it); a name whose separator went
//                      with the extension stays whole as the title.
//   splitNamedSong     a song added to the list and the song display, for a title that is the
//                      file's name: every audio extension of songNameExtensions() comes off,
//                      anywhere in the title, and "artist - " is taken out wherever it occurs.
//   splitDisplayTitle  the title line of an M3U or PLS entry: nothing comes off; both parts are
//                      trimmed.
//   splitEntryFileName a foreign playlist's entry without a title: the extension from the last
//                      "." is cut (not a leading one), an empty name falls back to the whole
//                      path, and a name starting with " - " stays whole.
namespace SongNameSplit {

struct ArtistTitle
{
    QString artist;
    QString title;
};

ArtistTitle splitFileName(const QString &name);
// Only when artist is empty and title holds " - "; otherwise both come back as given.
ArtistTitle splitNamedSong(const QString &artist, const QString &title);
ArtistTitle splitDisplayTitle(QStringView display);
ArtistTitle splitEntryFileName(QString fileName, const QString &path);

} // namespace SongNameSplit

// The audio extensions taken out of a song named after its file before it is split at " - ",
// in this order: the designed four, then the newer formats.
const QList<QLatin1StringView> &songNameExtensions();
