#include "core/PlaylistSearch.h"

#include "core/Playlist.h"

PlaylistSearchOutcome searchPlaylistFile(const QString &fileName, const QString &term, const SearchOptions &options,
                                         bool regex, qsizetype batchSongs)
{
    PlaylistSearchOutcome out;
    SongList batch;
    // The songs found are copied into blocks of their own, packed together: a song found in
    // each of the batch's blocks would otherwise keep every block.
    SongBlockWriter kept;
    auto searchBatch = [&] {
        // After a failed search the file is still read to its end, so that a file that cannot
        // be read reports that, as a load before the search would.
        if (out.ok) {
            const SearchOutcome found = searchSongs(batch, term, options, regex);
            if (found.ok) {
                for (qsizetype i : found.matches)
                    kept.append(out.songs, batch[i]);
            } else {
                out = PlaylistSearchOutcome{false, found.errorCode, {}};
            }
        }
        batch.clear(); // keeps its room for the next batch
    };
    PlaylistTextParser parser(batch);
    readTextFileInPieces(fileName, kPlaylistPieceBytes, [&](QStringView piece, qint64, qint64) {
        parser.feed(piece);
        if (batch.size() >= batchSongs)
            searchBatch();
    });
    parser.finish();
    searchBatch(); // the last songs; a pattern that does not compile is reported even for none
    return out;
}
