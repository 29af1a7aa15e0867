// The main window's side of playback: its controls and menu items forwarded to the playback
// control, and what the control shows in the window.
#include "ui/Tprog.h"

#include "playback/PlaybackControl.h"
#include "ui/TTrackBar.h"
#include "ui/Tfehler.h"
#include "ui/Tlastfiles.h"
#include "ui/TprogPlaybackView.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

void TprogPlaybackView::showPlaying(bool playing)
{
    w.BtPlay->setText(playing ? QStringLiteral("X") : QStringLiteral(">"));
    w.BtPlay->setAccessibleName(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
}

void TprogPlaybackView::showBarPosition(int position)
{
    // Fires the bar's change notification (stelleChange) when the value changes.
    w.stelle->setValue(position);
}

void TprogPlaybackView::showPositionText(const QString &text)
{
    w.lblPosition->setText(text);
}

void TprogPlaybackView::showDurationText(const QString &text)
{
    w.lblDuration->setText(text);
    w.layoutBottomPanel();
}

SongDisplayOptions TprogPlaybackView::songDisplayOptions() const
{
    SongDisplayOptions options;
    const std::pair<const char *, SongDisplayMode> modes[] = {
        {"saat", SongDisplayMode::ArtistTitle},
        {"saata", SongDisplayMode::ArtistTitleAlbum},
        {"saatta", SongDisplayMode::ArtistTitleAlbumTrack},
        {"saatg", SongDisplayMode::ArtistTitleGenre},
        {"saf", SongDisplayMode::PathAndFile},
    };
    for (const auto &[component, mode] : modes)
        if (w.action(component)->isChecked())
            options.mode = mode;
    options.inTitle = w.action("saheader")->isChecked();
    options.inStatus = w.action("sastatus")->isChecked();
    return options;
}

void TprogPlaybackView::showSongInStatusLine(const QString &text)
{
    w.status->setText(text);
    w.layoutBottomPanel();
}

void TprogPlaybackView::showWindowTitle(const QString &title)
{
    w.setWindowTitle(title);
}

void TprogPlaybackView::setStatusShowsSong()
{
    w.StatusShowsSong = true;
}

void TprogPlaybackView::appendLog(const QString &line)
{
    if (w.m_errorWindow)
        w.m_errorWindow->appendLine(line);
}

void TprogPlaybackView::Aktualisieren()
{
    if (w.m_recentWindow)
        w.m_recentWindow->Aktualisieren();
}

void TprogPlaybackView::showError(const QString &message)
{
    w.m_dialogs.showError(&w, message);
}

bool TprogPlaybackView::germanTexts() const
{
    return w.m_lang.isDe();
}

void Tprog::setRecentWindow(Tlastfiles *window)
{
    m_recentWindow = window;
    if (m_recentWindow)
        m_recentWindow->setPlayback(m_playback.get());
}

void Tprog::attachPlayback(AudioPlayerFactory factory)
{
    m_playbackView = std::make_unique<TprogPlaybackView>(*this);
    m_playback = std::make_unique<PlaybackControl>(m_lists, std::move(factory), *m_playbackView);
    PlaybackControl *control = m_playback.get();
    if (m_recentWindow)
        m_recentWindow->setPlayback(control);

    hooks.ShowCurrentSong = [control] { control->ShowCurrentSong(); };
    hooks.songLoaded = [control] { return control->Player() != nullptr; };
    // Searching clears the song marked to play next and reads the playing song.
    hooks.clearPendingNext = [control] { control->PendingNext.clear(); };
    hooks.setCurrentIndex = [control](int row) { control->CurrentIndex = row; };
    hooks.CurrentSongPath = [control] { return control->CurrentSongPath; };
    // The window closing: no song afterwards, both labels at zero and the bar at 0.
    hooks.FreePlayer = [control] {
        control->FreePlayer();
        control->ShowDuration();
    };

    connect(BtPlay, &QPushButton::clicked, control, &PlaybackControl::BtPlayClick);
    connect(zurueck, &QPushButton::clicked, control, &PlaybackControl::zurueckClick);
    connect(weiter, &QPushButton::clicked, control, &PlaybackControl::weiterClick);
    connect(stelle, &QSlider::valueChanged, control, &PlaybackControl::stelleChange);
    for (QWidget *w : {static_cast<QWidget *>(BtPlay), static_cast<QWidget *>(zurueck),
                       static_cast<QWidget *>(weiter), static_cast<QWidget *>(stelle)})
        w->setEnabled(true);

    auto command = [this](const char *component, auto slot) {
        QAction *a = action(component);
        connect(a, &QAction::triggered, this, slot);
        a->setEnabled(true);
    };
    command("mw1", [control] { control->mw1Click(); });
    command("mw2", [control] { control->mw2Click(); });
    command("mw3", [control] { control->zurueckClick(); });
    command("mw4", [control] { control->weiterClick(); });
    command("mw5", [this] { mw5Click(); });
    command("m_fehler", [this] { m_fehlerClick(); });
    // The check marks are the state; the settings may set them too.
    QAction *repeat = action("Wiederholen");
    connect(repeat, &QAction::toggled, control, &PlaybackControl::setRepeat);
    repeat->setEnabled(true);
    control->setRepeat(repeat->isChecked());
    QAction *random = action("zufall");
    connect(random, &QAction::toggled, control, &PlaybackControl::setRandomOrder);
    random->setEnabled(true);
    control->setRandomOrder(random->isChecked());

    for (QAction *a : popup->actions()) {
        if (a->objectName() == QLatin1String("p1")) {
            connect(a, &QAction::triggered, control, [this, control] { control->p1Click(selectedRow()); });
            a->setEnabled(true);
        } else if (a->objectName() == QLatin1String("pop_title_next")) {
            connect(a, &QAction::triggered, control, [this, control] { control->pop_title_nextClick(selectedRow()); });
            a->setEnabled(true);
        }
    }

    lv->installEventFilter(this);
    lv->viewport()->installEventFilter(this);
}

int Tprog::selectedRow() const
{
    int first = -1;
    for (const QModelIndex &index : lv->selectionModel()->selectedRows())
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

void Tprog::lvDblClick()
{
    const int row = selectedRow();
    if (row >= 0) {
        if (m_playback)
            m_playback->lvDblClick(row);
    } else {
        m_opendateiClick();
    }
}

void Tprog::mw5Click()
{
    if (!m_recentWindow)
        return;
    m_recentWindow->show();
    m_recentWindow->raise();
    m_recentWindow->Aktualisieren();
}

void Tprog::m_fehlerClick()
{
    if (!m_errorWindow)
        return;
    m_errorWindow->show();
    m_errorWindow->raise();
}

bool Tprog::playbackEvent(QObject *watched, QEvent *event)
{
    if (!m_playback)
        return false;
    if (watched == lv && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return m_playback->lvKeyPress(13, selectedRow());
    }
    // The double click on the table is dispatched with the table's other viewport events
    // (Tprog::viewportEvent), also before playback is attached.
    return false;
}
