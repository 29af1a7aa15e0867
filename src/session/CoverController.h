#pragma once

#include "session/CoverLoader.h"

#include <QImage>
#include <QObject>
#include <QString>

class PlaybackControl;
class SettingsController;

// The playing song's cover: asked for whenever a song is loaded or released, shown by the main
// window, and offered to the desktop's media controls as a file:// URL. An embedded picture is
// written to a folder of the per-user cache for that, and removed when the song changes and
// when the program ends.
class CoverController : public QObject
{
    Q_OBJECT
public:
    // artFolder: where embedded pictures are written out; empty: this process's folder in the
    // desktop's cache (~/.cache/Sonalo/covers/PID).
    CoverController(PlaybackControl &playback, SettingsController &settings, const QString &artFolder = QString());
    ~CoverController() override;

    const QImage &playingCover() const { return m_cover; }
    // The picture file of the playing song as a file:// URL, and the song it belongs to.
    const QString &artUrl() const { return m_artUrl; }
    const QString &artSong() const { return m_artSong; }
    const QString &artFolder() const { return m_artFolder; }
    CoverLoader &loader() { return m_loader; }
    bool folderFirst() const;

    // The side of the square the main window shows the cover in, at most.
    static constexpr int kWindowSide = 256;

Q_SIGNALS:
    // A null image: the song has none, or nothing plays.
    void playingCoverChanged(const QImage &image);
    void artUrlChanged(const QString &songPath, const QString &url);

private:
    void songChanged();
    void loaded(const CoverResult &result);
    void setArt(const QString &songPath, const QString &file);
    void removeWrittenFile();

    PlaybackControl &m_playback;
    SettingsController &m_settings;
    QString m_artFolder;
    CoverLoader m_loader;
    QString m_playing;
    QImage m_cover;
    QString m_artUrl, m_artSong;
    QString m_writtenFile; // a picture this controller wrote out, removed when no longer shown
};
