#include "core/SongNameSplit.h"

#include "support/TestSongs.h"

#include <gtest/gtest.h>

namespace {

struct Case
{
    const char *rule;
    const char *input;
    const char *artist;
    const char *title;
};

SongNameSplit::ArtistTitle apply(const Case &c)
{
    const QString in = u8(c.input);
    const QString rule = u8(c.rule);
    if (rule == u8("file"))
        return SongNameSplit::splitFileName(in);
    if (rule == u8("named"))
        return SongNameSplit::splitNamedSong(QString(), in);
    if (rule == u8("display"))
        return SongNameSplit::splitDisplayTitle(in);
    return SongNameSplit::splitEntryFileName(in, u8("/m/") + in);
}

} // namespace

// The four rules side by side, on the names where they part ways.
TEST(SongNameSplit, EachRuleSplitsAtTheFirstSeparatorAsItsPlaceWasDesigned)
{
    const Case cases[] = {
        {"file", "Band - Song.mp3", "Band", "Song"},
        {"file", "Band - Song - Live.MP3", "Band", "Song - Live"},
        {"file", "No separator.mp3", "", "No separator.mp3"},
        {"file", "A - B.x.x", "A", "B"},           // every occurrence of the last extension goes
        {"file", "Odd - .mp3", "Odd", ""},
        {"named", "Band - Song.mp3.ogg", "Band", "Song"}, // every audio extension, anywhere
        {"named", "Band - Band - Song.wav", "Band", "Song"}, // "artist - " goes wherever it occurs
        {"named", "Plain.mp3", "", "Plain.mp3"},        // no separator: untouched
        {"display", "  Band  -  Song ", "Band", "Song"},
        {"display", "Only a title ", "", "Only a title"},
        {"entry", "Band - Song.flac", "Band", "Song"},
        {"entry", " - Song.flac", "", " - Song"},        // a leading separator splits nothing
        {"entry", ".hidden", "", ".hidden"},             // a leading dot is no extension
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.rule) + ": " + c.input);
        const SongNameSplit::ArtistTitle got = apply(c);
        EXPECT_EQ(got.artist, u8(c.artist));
        EXPECT_EQ(got.title, u8(c.title));
    }
    // A song that has an artist keeps both as they are.
    const SongNameSplit::ArtistTitle kept = SongNameSplit::splitNamedSong(u8("X"), u8("A - B.mp3"));
    EXPECT_EQ(kept.artist, u8("X"));
    EXPECT_EQ(kept.title, u8("A - B.mp3"));
    // An entry whose file name is empty falls back to its path.
    EXPECT_EQ(SongNameSplit::splitEntryFileName(QString(), u8("http://x/a - b")).title, u8("b"));
}
