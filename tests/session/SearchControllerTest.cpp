// The search controller alone, without a window.
#include "session/ListDisplay.h"
#include "session/ScriptedDialogs.h"
#include "session/SearchController.h"
#include "session/SearchOptionsModel.h"
#include "support/TestApp.h"
#include "support/TestSongs.h"

#include "playback/PlaybackControl.h"
#include "tags/AudioInfo.h"

#include <gtest/gtest.h>

namespace {

const SongList kSongs = {
    makeSong("Queen", "Bohemian Rhapsody", "5:55"), makeSong("queen", "We Will Rock You", "2:02"),
    makeSong("Queen & Friends", "Live", "3:00"),     makeSong("Abba", "Waterloo", "2:42"),
};

} // namespace

TEST(SearchController, PlayingSongLengthTerm)
{
    const std::pair<int, const char *> cases[] = {{4500, "75:00"}, {59, "0:59"}, {7265, "121:05"}, {0, "0:00"}};
    for (const auto &[seconds, term] : cases) {
        TAudioInfo info;
        info.Seconds = seconds;
        EXPECT_EQ(SearchController::playingSongTerm(info, u8("/a/b.mp3"), 2), u8(term));
    }
    EXPECT_EQ(SearchController::playingSongTerm({}, u8("C:\\music\\a.mp3"), 7), u8("C:\\music\\"));
}

namespace {

// The playback side as the search sees it.
struct CursorProbe : PlaybackCursor
{
    int pendingCleared = 0;
    int currentIndex = -1;
    void clearPendingNext() override { ++pendingCleared; }
    void setCurrentIndex(int row) override { currentIndex = row; }
    bool songLoaded() const override { return false; }
    QString CurrentSongPath() const override { return {}; }
    QString ShowCurrentSong() override { return {}; }
};

} // namespace

TEST(SearchController, EverySearchForgetsTheSongMarkedToPlayNext)
{
    testApp();
    SongLists lists;
    lists.replaceAll(kSongs);
    LanguageCode lang;
    SearchOptionsModel options;
    ListDisplay list(lists, lang);
    CursorProbe cursor;
    ScriptedDialogs dialogs;
    SearchController search(lists, lang, options, dialogs, list, cursor);
    list.attach(search, cursor);

    search.setSearchTerm(u8("queen"));
    search.SuchenClick();
    EXPECT_EQ(cursor.pendingCleared, 1);
    list.ShowListStatus(); // a refresh re-runs the shown search
    EXPECT_EQ(cursor.pendingCleared, 2);
    search.AlleClick(); // shows the whole playlist without searching
    EXPECT_EQ(cursor.pendingCleared, 2);
    search.SongsSuchen(0, 3); // a context search from a row makes it the current row
    EXPECT_EQ(cursor.pendingCleared, 3);
    EXPECT_EQ(cursor.currentIndex, 3);
    EXPECT_EQ(search.searchTerm(), u8("Abba"));
    search.SongsSuchen(0, 99); // no such row: nothing happens
    EXPECT_EQ(cursor.pendingCleared, 3);
}
