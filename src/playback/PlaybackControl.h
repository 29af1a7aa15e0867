#pragma once

#include "core/LanguageCode.h"
#include "core/SongLists.h"
#include "playback/AudioPlayer.h"
#include "playback/EqualizerModel.h"
#include "playback/PlayQueue.h"
#include "playback/ShuffleRound.h"
#include "playback/ReplayGainModel.h"
#include "playback/SongDisplay.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class DisplayOptionsModel;

// One song started by PlayFile: its display text at the start and its resolved path.
struct PlayHistoryEntry
{
    QString DisplayText;
    QString Path;
    bool operator==(const PlayHistoryEntry &) const = default;
};

// What searching and the status line may touch of playback, and nothing more.
class PlaybackCursor
{
public:
    virtual ~PlaybackCursor() = default;
    // The song marked to play next is forgotten (every search does this).
    virtual void clearPendingNext() = 0;
    // The row the next song in table order follows.
    virtual void setCurrentIndex(int row) = 0;
    virtual bool songLoaded() const = 0;
    // Resolved path of the song PlayFile started last.
    virtual QString CurrentSongPath() const = 0;
    // Shows the playing song where the display options say; returns its display text.
    virtual QString ShowCurrentSong() = 0;
};

// The playback state and every operation on it: starting songs, next and previous, play,
// pause, repeat and random order, the position display and seeking. One song is loaded at a
// time through a player made by the factory. The state changes only through the operations
// below; views learn of changes through the signals. Everything runs on the window thread;
// the player's end-of-song callback arrives there too.
class PlaybackControl : public QObject, public PlaybackCursor
{
    Q_OBJECT
public:
    // Consecutive failed starts after which the chain of next songs stops.
    static constexpr int kFailureLimit = 15;

    PlaybackControl(SongLists &lists, AudioPlayerFactory factory, const DisplayOptionsModel &options,
                    const LanguageCode &lang, QObject *parent = nullptr);
    ~PlaybackControl() override;

    // The state, read-only.
    IAudioPlayer *Player() const { return m_player.get(); }
    // How many players were created so far: tells one loaded song from the next.
    quint64 playersCreated() const { return m_playersCreated; }
    bool IsPlaying() const { return m_isPlaying; }
    int CurrentIndex() const { return m_currentIndex; }
    // A resolved path that the next weiterClick plays before anything else; empty for none.
    const QString &PendingNext() const { return m_pendingNext; }
    // The songs lined up to play after PendingNext and before the table's next row.
    PlayQueue &queue() { return m_queue; }
    // True when "Next" has a song to go to.
    bool canGoNext() const { return !m_pendingNext.isEmpty() || !m_queue.isEmpty() || !rows().isEmpty(); }
    // The loaded song is the last: play stops at its end (once; a new song disarms it).
    bool stopAfterCurrent() const { return m_stopAfterPlayer != 0 && m_stopAfterPlayer == m_playersCreated; }
    void setStopAfterCurrent(bool on);
    const QList<PlayHistoryEntry> &PlayHistory() const { return m_history; }
    int FailureCount() const { return m_failureCount; }
    bool UpdatingPosition() const { return m_updatingPosition; }
    bool CanSeek() const { return m_canSeek; }
    bool MediaTimeFormat() const { return m_mediaTimeFormat; }
    bool RecentWindowVisible() const { return m_recentWindowVisible; }
    // The fields behind the last display text (for desktop media controls).
    const SongTagFields &currentSongFields() const { return m_songFields; }
    // The same before the gaps were filled: what the song itself says (empty where nothing).
    const SongTagFields &currentSongTags() const { return m_songTags; }

    // PlaybackCursor
    void clearPendingNext() override { m_pendingNext.clear(); }
    void setCurrentIndex(int row) override { m_currentIndex = row; }
    bool songLoaded() const override { return m_player != nullptr; }
    QString CurrentSongPath() const override { return m_currentSongPath; }
    // The path PlayFile was given for the song that plays (as the table holds it); empty when
    // no song is loaded.
    QString PlayingGivenPath() const { return m_player ? m_playingGiven : QString(); }
    // Composes the playing song's display text, shows it where the display options say and
    // returns it; does nothing and returns an empty text when no song is loaded.
    QString ShowCurrentSong() override;

    // Starts one file; a file that cannot be played is logged and the next one is tried.
    void PlayFile(const QString &path);
    void weiterClick();
    // Gapless play asks this shortly before the playing song's data ends: the choice
    // weiterClick will make at the end of the song is made now and kept for it, and its
    // resolved file is returned when it can be handed to the player ahead (a regular file).
    // Empty while nothing plays, with repeat on, or when nothing follows.
    QString prepareNextSong();
    void zurueckClick();
    void BtPlayClick();
    void mw1Click();
    void mw2Click();

    // Starts from the song table; row is the first selected row of the shown list, -1 for none.
    void lvDblClick(int row);
    // A character typed in the table: Enter (13) starts the selected row. True when consumed.
    bool lvKeyPress(int character, int row);
    void p1Click(int row);
    void pop_title_nextClick(int row);

    // The recently played window: a double click on a row holding path, and its Delete button.
    void lfDblClick(const QString &path);
    void DeleteHistory();
    // Shown or hidden; while shown it is told of every change of the history.
    void setRecentWindowVisible(bool visible);

    void CreatePlayer(const QString &resolved);
    void FreePlayer();
    // The main window closes: no song afterwards, both labels at zero and the bar at 0.
    void stop();
    void ShowDuration();
    void ShowPosition();
    QString FormatMediaTime(qint64 value) const;
    void Timer1Timer();
    // The position bar moved (by the user or by ShowPosition).
    void stelleChange(int barPosition);
    // The user took hold of the bar's thumb and let it go at barPosition. While it is held the
    // timer leaves the bar alone (it would pull the thumb back) and dragging does not seek;
    // the release seeks once.
    void stelleGrabbed();
    void stelleReleased(int barPosition);
    // Moves the loaded song to position (100-ns units) when it can seek, as the bar does.
    void seekTo(qint64 position);
    // The loaded song's position in 100-ns units (0 without one).
    qint64 position() const;
    bool ThumbHeld() const { return m_thumbHeld; }

    QTimer &Timer1() { return m_timer; }

    // The volume every player gets: 0..100 % of the full amplitude (50 is -6 dB), and mute,
    // which keeps the level for when it is lifted.
    int volumePercent() const { return m_volumePercent; }
    bool muted() const { return m_muted; }
    void setVolumePercent(int percent);
    void setMuted(bool muted);
    // DeviceIndex: the entry of AudioDevices the next song plays on (outside the list: the
    // default output). The loaded song stays where it plays.
    int deviceIndex() const { return m_deviceIndex; }
    // The equalizer every player gets; a change is heard at once.
    EqualizerModel &equalizer() { return m_equalizer; }
    // How songs are levelled; the engine asks it for each song's factor.
    ReplayGainModel &replayGain() { return m_replayGain; }
    void setDeviceIndex(int index);
    // The player's scale (hundredths of a decibel) for a percentage: 0 % and mute are silence.
    static int volumeLevel(int percent, bool muted);

    // The random source of random order: a uniform index in 0..rows-1. Tests may replace it.
    std::function<int(int rows)> randomRow;
    // The order of "every song once", drawn from randomRow.
    ShuffleRound &shuffleRound() { return m_shuffle; }

Q_SIGNALS:
    // BtPlay: "X" while playing, ">" otherwise.
    void playingChanged(bool playing);
    // A song was loaded or released (a new player, or none).
    void songChanged();
    // The position bar (0..1000). A connected bar calls stelleChange back at once when its
    // value changes, as the bar's change notification does.
    void barPositionChanged(int position);
    void positionTextChanged(const QString &text); // lblPosition
    void durationTextChanged(const QString &text); // lblDuration
    // Whether the position bar can move the song (not for a stream), at every start.
    void seekableChanged(bool seekable);
    // What the playing song shows changed without a new song (a stream's title).
    void songFieldsChanged();
    // The playing song's display text, for the status line (sent only when the display options
    // show the song there).
    void songShownInStatusLine(const QString &text);
    // A song was started: the status line counts as showing the song rather than the list.
    void statusShowsSong();
    void windowTitleChanged(const QString &title);
    // The history changed while the recently played window is shown.
    void historyChanged();
    // The volume or mute changed.
    void volumeChanged(int percent, bool muted);
    void deviceIndexChanged(int index);
    // The song was moved to position (100-ns units) by the bar, its keys or a media control.
    void positionJumped(qint64 position);
    // One line at the end of the error log.
    void logLine(const QString &line);
    // The program's general error message, for failures outside the logged song starts.
    void errorRaised(const QString &message);
    // A song that exists could not be started (path as given); the log has the details.
    void songFailed(const QString &path);
    // Stop after this song was armed or disarmed.
    void stopAfterChanged(bool on);

private:
    const SongList &rows() const { return m_lists.shown(); }
    void logFailure(const QString &path, const QString &detail, const QString &message, bool withMessage);
    void continueAfterFailure();
    void changedHistory();
    void setPlaying(bool playing);
    void setBarPosition(int position);
    void rememberStartedRow(const QString &path, const QString &resolved);
    bool takePreparedChoice();
    void songEnded();
    // The table row that follows in the chosen order (random, every song once, or table order),
    // without moving there; -1 for an empty list.
    int followingRow();
    void playRow(int row);
    void applyVolume();
    template <typename F> void guarded(F &&command);

    SongLists &m_lists;
    AudioPlayerFactory m_factory;
    const DisplayOptionsModel &m_options;
    const LanguageCode &m_lang;
    std::unique_ptr<IAudioPlayer> m_player;
    QTimer m_timer;
    SongTagFields m_songFields;
    SongTagFields m_songTags;
    quint64 m_playersCreated = 0;

    bool m_isPlaying = false;
    int m_currentIndex = 0;
    QString m_pendingNext;
    PlayQueue m_queue;
    ShuffleRound m_shuffle;
    quint64 m_stopAfterPlayer = 0;
    // The choice prepareNextSong made for the end of the playing song: the row of the shown
    // list, the song marked to play next (kPendingChoice) or the queue's first (kQueueChoice),
    // and its path as the list holds it.
    static constexpr int kPendingChoice = -1;
    static constexpr int kQueueChoice = -2;
    struct PreparedChoice
    {
        int row = -1;
        QString path;
    };
    std::optional<PreparedChoice> m_prepared;
    // The loaded song has played to its end (the chain of next songs runs from there).
    bool m_songOver = false;
    QList<PlayHistoryEntry> m_history;
    int m_failureCount = 0;
    bool m_resyncPending = true;
    bool m_updatingPosition = false;
    bool m_thumbHeld = false;
    bool m_canSeek = false;
    QString m_streamTitle; // what the playing stream says it plays
    bool m_mediaTimeFormat = true;
    QString m_currentSongPath;
    // Artist and title of the table rows PlayFile started, by resolved path, for files that
    // name neither; kept as long as the history that can go back to them.
    struct RowNames
    {
        QString artist, title;
    };
    QHash<QString, RowNames> m_startedRows;
    QString m_playingGiven;
    bool m_recentWindowVisible = false;
    int m_volumePercent = 100;
    int m_deviceIndex = 0;
    EqualizerModel m_equalizer;
    ReplayGainModel m_replayGain;
    int m_playerDevice = 0; // the output the loaded song plays on
    bool m_muted = false;
};

// A position in 100-ns units as "hh:nn:ss:zzz" (hours of the day, rounded to the millisecond)
// when mediaTimeFormat, else as its decimal text.
QString FormatMediaTime(qint64 value, bool mediaTimeFormat);
