#include "core/Errors.h"
#include "core/PictureStyle.h"
#include "core/Playlist.h"
#include "core/PlaylistSearch.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

struct SearchCase
{
    const char *term;
    SearchMode mode;
    bool exact, caseSensitive, inverse, regex;
};

// The search of a file read in batches finds what a load followed by the search finds, in
// the same order, for every batch size, including the errors of a pattern.
TEST(PlaylistSearch, BatchesFindWhatALoadAndASearchFind)
{
    TempDir tmp;
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("Artist %1|Title %2 \u00E4|3:0%3|Album %4|%3|1999|Rock|/m/%2.mp3\r\n")
                    .arg(i % 7).arg(i).arg(i % 10).arg(i % 3);
    text += QStringLiteral("broken|line\r\n|||||||\r\nqueen|Bohemian|||||x|/q.mp3"); // no break at the end
    const SearchCase cases[] = {
        {"title 1", SearchMode::WholeTerm, false, false, false, false},
        {"Title 1", SearchMode::WholeTerm, false, true, true, false},
        {"artist 3 album", SearchMode::And, false, false, false, false},
        {"album 2 QUEEN", SearchMode::Or, false, false, false, false},
        {"Artist 5", SearchMode::WholeTerm, true, false, false, false},
        {"^title 2\\d \u00C4$", SearchMode::WholeTerm, false, false, false, true},
        {"(unclosed", SearchMode::WholeTerm, false, false, false, true},
        {"(a+)+$", SearchMode::WholeTerm, false, false, false, true}, // ends within the match limit or fails alike
    };
    for (TTextEncoding e : {TTextEncoding::teUtf8, TTextEncoding::teUtf16BE, TTextEncoding::teAnsi}) {
        const QString name = tmp.path(QStringLiteral("list%1.slp").arg(int(e)));
        WriteTextFile(text, name, e, PictureStyle{});
        SongLists lists;
        LoadPlaylist(lists, name);
        for (const SearchCase &c : cases) {
            SearchOptions o;
            o.mode = c.mode;
            o.exact = c.exact;
            o.caseSensitive = c.caseSensitive;
            o.inverse = c.inverse;
            const QString term = QString::fromUtf8(c.term);
            const SearchOutcome whole = searchSongs(lists.AllSongs(), term, o, c.regex);
            SongList expected;
            for (qsizetype i : whole.matches)
                expected.append(lists.AllSongs()[i]);
            for (qsizetype batch : {1, 7, 1000}) {
                const PlaylistSearchOutcome found = searchPlaylistFile(name, term, o, c.regex, batch);
                SCOPED_TRACE(testing::Message() << c.term << " encoding " << int(e) << " batch " << batch);
                EXPECT_EQ(found.ok, whole.ok);
                EXPECT_EQ(found.errorCode, whole.errorCode);
                EXPECT_EQ(found.songs, expected);
            }
        }
    }
    // Nothing to search, and a file that cannot be read, answer as before.
    const QString empty = tmp.write(QStringLiteral("empty.slp"), "");
    EXPECT_FALSE(searchPlaylistFile(empty, QStringLiteral("(x"), {}, true).ok);
    EXPECT_TRUE(searchPlaylistFile(empty, QStringLiteral("x"), {}, false).songs.isEmpty());
    EXPECT_THROW(searchPlaylistFile(tmp.path(QStringLiteral("missing.slp")), QStringLiteral("x"), {}, false), SonaloError);
}

} // namespace
