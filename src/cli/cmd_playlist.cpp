#include "cli/CliCommand.h"
#include "cli/EncodingNames.h"

#include "core/PictureStyle.h"
#include "core/FileSystem.h"
#include "core/Playlist.h"
#include "core/playlists/PlaylistFiles.h"
#include "tags/PlaylistEntryRecord.h"

namespace {

int playlistCat(const QStringList &argsIn)
{
    QStringList args = argsIn;
    const bool dropped = takeFlag(args, QStringLiteral("--dropped"));
    if (args.size() != 1)
        return usageError(QStringLiteral("expected one playlist file"));
    SongLists lists(FileSystem::programFolder());
    LoadAnyPlaylist(lists, args[0], playlistEntryRecorder(lists.programFolder()), dropped);
    for (const TSongRecord &r : std::as_const(lists.AllSongs()))
        printSong(r);
    return kExitOk;
}

int playlistConvert(const QStringList &argsIn)
{
    QStringList args = argsIn;
    QString encodingName = QStringLiteral("utf8");
    if (!takeOption(args, QStringLiteral("--encoding"), &encodingName))
        return usageError(QStringLiteral("--encoding needs a value"));
    const auto encoding = textEncodingFromName(encodingName);
    if (!encoding)
        return usageError(QStringLiteral("unknown encoding \"%1\" (one of %2)").arg(encodingName, textEncodingNames().join(QLatin1Char(','))));
    if (args.size() != 2)
        return usageError(QStringLiteral("expected IN and OUT"));
    SongLists lists(FileSystem::programFolder());
    LoadAnyPlaylist(lists, args[0], playlistEntryRecorder(lists.programFolder()));
    const QString written = SaveAnyPlaylist(lists.AllSongs(), args[1], *encoding, PictureStyle{});
    cliErr() << "wrote " << lists.AllSongs().size() << " songs to " << written << '\n';
    return kExitOk;
}

const CliRegistration cat{{
    {QStringLiteral("playlist"), QStringLiteral("cat")},
    QStringLiteral("[--dropped] FILE"),
    QStringLiteral("Print the songs of a playlist, one a line, the eight fields separated by tabs."),
    QStringLiteral("Fields: artist, title, length, album, track, year, genre, path. Backslash, tab,\n"
                   "CR and LF inside a field are written as \\\\, \\t, \\r and \\n.\n"
                   "FILE is a .slp, or an .m3u, .m3u8, .pls or .xspf playlist of another player:\n"
                   "entries naming a file that is there get its tags and length, the others\n"
                   "what the playlist says. A .cue sheet gives one song per track.\n"
                   "--dropped  read a .slp as a playlist dropped on the song table does\n"
                   "           (lines may end in CR LF, CR or LF)."),
    false,
    playlistCat,
}};

const CliRegistration convert{{
    {QStringLiteral("playlist"), QStringLiteral("convert")},
    QStringLiteral("IN OUT [--encoding ansi|utf7|utf7-ansi|utf8|utf16le|utf16be|utf32le|utf32be]"),
    QStringLiteral("Load a playlist and save it in the format OUT names, or in another encoding."),
    QStringLiteral("IN and OUT are .slp, .m3u, .m3u8, .pls or .xspf playlists, told by their\n"
                   "extension. .m3u8, .pls and .xspf are written in UTF-8; .m3u in the 8-bit code\n"
                   "page with --encoding ansi when every character fits it, else in UTF-8.\n"
                   "Any other OUT is a .slp in the encoding (default utf8): it gets \".slp\"\n"
                   "appended unless it holds \".slp\", and a name ending in .bmp, .gif, .jpg or\n"
                   ".jpeg is written as a picture of the playlist's text."),
    true,
    playlistConvert,
}};

} // namespace
