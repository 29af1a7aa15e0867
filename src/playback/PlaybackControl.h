#pragma once

#include "core/SongLists.h"
#include "playback/AudioPlayer.h"
#include "playback/SongDisplay.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

// One song started by PlayFile: its display text at the start and its resolved path.
struct PlayHistoryEntry
{
    QString DisplayText;
    QString Path;
    bool operator==(const PlayHistoryEntry &) const = default;
};

// What the playback control shows and asks of the window around it. The main window
// implements it; tests implement it without widgets.
class PlaybackView
{
public:
    virtual ~PlaybackView() = default;

    // BtPlay: "X" while playing, ">" otherwise.
    virtual void showPlaying(bool playing) = 0;
    // The position bar (0..1000). Setting it may call stelleChange back at once, as the bar's
    // change notification does.
    virtual void showBarPosition(int position) = 0;
    virtual void showPositionText(const QString &text) = 0; // lblPosition
    virtual void showDurationText(const QString &text) = 0; // lblDuration

    // The check marks of the display menu.
    virtual SongDisplayOptions songDisplayOptions() const = 0;
    virtual void showSongInStatusLine(const QString &text) = 0;
    virtual void showWindowTitle(const QString &title) = 0;
    // The status line now shows the playing song rather than the list count.
    virtual void setStatusShowsSong() = 0;

    // One line at the end of the error log.
    virtual void appendLog(const QString &line) = 0;
    // Rebuilds the recently played window from PlayHistory (called only while it is shown).
    virtual void Aktualisieren() = 0;
    // The program's general error message, for failures outside the logged song starts.
    virtual void showError(const QString &message) = 0;
    // True when texts produced now are German.
    virtual bool germanTexts() const = 0;
};

// The playback state of the main window and every operation on it: starting songs, next and
// previous, play, pause, repeat and random order, the position display and seeking. One song
// is loaded at a time through a player made by the factory. Everything runs on the window
// thread; the player's end-of-song callback arrives there too.
class PlaybackControl : public QObject
{
    Q_OBJECT
public:
    // Consecutive failed starts after which the chain of next songs stops.
    static constexpr int kFailureLimit = 15;

    PlaybackControl(SongLists &lists, AudioPlayerFactory factory, PlaybackView &view, QObject *parent = nullptr);
    ~PlaybackControl() override;

    // The playback state.
    IAudioPlayer *Player() const { return m_player.get(); }
    // How many players were created so far: tells one loaded song from the next.
    quint64 playersCreated() const { return m_playersCreated; }
    bool IsPlaying = false;
    int CurrentIndex = 0;
    // A resolved path that the next weiterClick plays before anything else; empty for none.
    // The search's context commands clear it as well.
    QString PendingNext;
    QList<PlayHistoryEntry> PlayHistory;
    int FailureCount = 0;
    bool ResyncPending = true;
    bool UpdatingPosition = false;
    bool CanSeek = false;
    bool MediaTimeFormat = true;
    // Resolved path of the song PlayFile started last (zurueckClick leaves it).
    QString CurrentSongPath;
    bool RecentWindowVisible = false;
    // The check marks of "Wiederholen" and "zufall".
    bool Repeat = false;
    bool RandomOrder = true;

    // Starts one file; a file that cannot be played is logged and the next one is tried.
    void PlayFile(const QString &path);
    void weiterClick();
    void zurueckClick();
    void BtPlayClick();
    void mw1Click();
    void mw2Click();
    void WiederholenClick() { setRepeat(!Repeat); }
    void setRepeat(bool on);
    void zufallClick() { RandomOrder = !RandomOrder; }
    void setRandomOrder(bool on) { RandomOrder = on; }

    // Starts from the song table; row is the first selected row of the shown list, -1 for none.
    void lvDblClick(int row);
    // A character typed in the table: Enter (13) starts the selected row. True when consumed.
    bool lvKeyPress(int character, int row);
    void p1Click(int row);
    void pop_title_nextClick(int row);

    // The recently played window: a double click on a row holding path, and its Delete button.
    void lfDblClick(const QString &path);
    void DeleteHistory();
    // Shown or hidden; while shown it is refreshed after every change of the history.
    void setRecentWindowVisible(bool visible);

    void CreatePlayer(const QString &resolved);
    void FreePlayer();
    void ShowDuration();
    void ShowPosition();
    QString FormatMediaTime(qint64 value) const;
    void Timer1Timer();
    // The position bar moved (by the user or by ShowPosition).
    void stelleChange(int barPosition);

    // Composes the playing song's display text, shows it where the display menu says and
    // returns it; does nothing and returns an empty text when no song is loaded.
    QString ShowCurrentSong();
    // The fields behind the last display text (for desktop media controls).
    const SongTagFields &currentSongFields() const { return m_songFields; }

    QTimer &Timer1() { return m_timer; }

    // The random source of random order: a uniform index in 0..rows-1. Tests may replace it.
    std::function<int(int rows)> randomRow;

Q_SIGNALS:
    // The loaded song, or whether it plays, changed.
    void playbackChanged();

private:
    const SongList &rows() const { return m_lists.shown(); }
    void logFailure(const QString &path, const QString &detail, const QString &message, bool withMessage);
    void continueAfterFailure();
    void historyChanged();
    void setPlaying(bool playing);
    template <typename F> void guarded(F &&command);

    SongLists &m_lists;
    AudioPlayerFactory m_factory;
    PlaybackView &m_view;
    std::unique_ptr<IAudioPlayer> m_player;
    QTimer m_timer;
    SongTagFields m_songFields;
    quint64 m_playersCreated = 0;
};

// A position in 100-ns units as "hh:nn:ss:zzz" (hours of the day, rounded to the millisecond)
// when mediaTimeFormat, else as its decimal text.
QString FormatMediaTime(qint64 value, bool mediaTimeFormat);
