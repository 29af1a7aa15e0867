#include "session/SelectionOperations.h"
#include "session/WindowKeepAlive.h"
#include "session/RowMoves.h"

#include "core/PlaylistUndo.h"

#include "core/FileListMime.h"
#include "core/FileSystem.h"
#include "core/playlists/CueSheet.h"
#include "playback/PlaybackControl.h"
#include "playback/SongSource.h"
#include "shell/FileManager.h"
#include "session/ListDisplay.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

namespace {

// A path that is still relative after DateiFinden (its file was not found) is taken beside the
// program, never against whatever folder the program runs in.
QString withProgramFolder(const QString &path, const QString &programFolder)
{
    if (path.startsWith(QLatin1Char('/')) || path.contains(QLatin1String(":\\")))
        return path;
    return programFolder + path;
}

void putOnClipboard(const QStringList &paths)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setMimeData(fileListMimeData(paths));
}

} // namespace

SelectionOperations::SelectionOperations(SongLists &lists, ListDisplay &list, PlaybackCursor &playback,
                                         FileManager &fileManager, QObject *parent)
    : QObject(parent), m_lists(lists), m_list(list), m_playback(playback), m_fileManager(fileManager)
{
}

QList<int> SelectionOperations::validRows(const QList<int> &rows) const
{
    const qsizetype count = m_lists.shown().size();
    QList<int> valid;
    for (int row : rows)
        if (row >= 0 && row < count)
            valid.append(row);
    std::sort(valid.begin(), valid.end());
    valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
    return valid;
}

QString SelectionOperations::resolvedPath(int row) const
{
    const SongList &shown = m_lists.shown();
    if (row < 0 || row >= shown.size())
        return QString();
    const QString path = withProgramFolder(m_lists.DateiFinden(shown[row].Path), m_lists.programFolder());
    // The file of a track of a sheet is the audio file it plays from.
    if (sheetTrackOf(path) && !FileSystem::isRegularFile(path))
        if (const std::optional<SongSource> source = songSourceOf(path))
            return source->file;
    return path;
}

QString SelectionOperations::firstRowPath(const QList<int> &rows)
{
    const QList<int> valid = validRows(rows);
    if (valid.isEmpty())
        return QString();
    m_playback.setCurrentIndex(valid.first());
    return resolvedPath(valid.first());
}

void SelectionOperations::LVDeleteSelected(const QList<int> &rows)
{
    const QList<int> valid = validRows(rows);
    if (valid.isEmpty())
        return;
    m_playback.setCurrentIndex(valid.first());
    if (m_undo)
        m_undo->remember(m_lists);
    // The status line is not changed.
    const auto scope = m_lists.edit(SongLists::Refresh::Table);
    m_lists.removeShownRows(valid, keepWindowAlive);
}

QList<int> SelectionOperations::applyMove(const QList<int> &rows,
                                          const std::function<RowMoves::Move(const QList<int> &)> &plan)
{
    const QList<int> valid = validRows(rows);
    if (valid.isEmpty())
        return {};
    if (m_lists.ShowingFound()) {
        m_list.showMoveRefused();
        return {};
    }
    const RowMoves::Move move = plan(valid);
    if (move.order.empty())
        return {};
    if (m_undo)
        m_undo->remember(m_lists);
    {
        const auto scope = m_lists.edit(SongLists::Refresh::Table); // the status line stays
        m_lists.reorderPlaylist(move.order, keepWindowAlive);
    }
    m_list.clearSortMark();
    return move.rows;
}

QList<int> SelectionOperations::moveRows(const QList<int> &rows, int delta)
{
    return applyMove(rows, [&](const QList<int> &valid) { return RowMoves::step(m_lists.AllSongs().size(), valid, delta); });
}

QList<int> SelectionOperations::dropRows(const QList<int> &rows, int before)
{
    return applyMove(rows,
                     [&](const QList<int> &valid) { return RowMoves::dropBefore(m_lists.AllSongs().size(), valid, before); });
}

void SelectionOperations::p4Click(const QList<int> &rows)
{
    if (!rows.isEmpty())
        LVDeleteSelected(rows);
}

void SelectionOperations::mp7Click()
{
    if (m_undo && !m_lists.AllSongs().isEmpty())
        m_undo->remember(m_lists);
    const auto scope = m_lists.edit(SongLists::Refresh::TableAndStatus);
    m_lists.clear();
}

void SelectionOperations::undoClick()
{
    auto scope = m_lists.edit(SongLists::Refresh::None);
    if (m_undo && m_undo->undo(m_lists))
        scope.ask(SongLists::Refresh::TableAndStatus);
}

void SelectionOperations::redoClick()
{
    auto scope = m_lists.edit(SongLists::Refresh::None);
    if (m_undo && m_undo->redo(m_lists))
        scope.ask(SongLists::Refresh::TableAndStatus);
}

void SelectionOperations::p_copyfileClick(const QList<int> &rows)
{
    const QList<int> valid = validRows(rows);
    if (valid.size() == 1) {
        const QString path = resolvedPath(valid.first());
        if (FileSystem::isRegularFile(path))
            putOnClipboard({path});
    } else if (valid.size() > 1) {
        // A list of several is taken as it is; whoever pastes it reports the missing ones.
        QStringList paths;
        for (int row : valid)
            paths.append(resolvedPath(row));
        putOnClipboard(paths);
    }
}

void SelectionOperations::p5Click(const QList<int> &rows)
{
    const QString path = firstRowPath(rows);
    if (!path.isEmpty() && FileSystem::isRegularFile(path))
        m_fileManager.showItem(path);
}

void SelectionOperations::p6Click(const QList<int> &rows)
{
    const QString path = firstRowPath(rows);
    if (!path.isEmpty() && FileSystem::isRegularFile(path))
        m_fileManager.showItemProperties(path);
}

void SelectionOperations::p3Click(const QList<int> &rows)
{
    const QString path = firstRowPath(rows);
    if (!path.isEmpty() && FileSystem::isRegularFile(path))
        Q_EMIT fileInformationRequested(path);
}

void SelectionOperations::akp1Click()
{
    if (m_playback.songLoaded())
        Q_EMIT fileInformationRequested(m_playback.CurrentSongPath());
}

void SelectionOperations::akp2Click()
{
    if (m_playback.songLoaded())
        m_fileManager.showItemProperties(m_playback.CurrentSongPath());
}

void SelectionOperations::akp3Click()
{
    if (m_playback.songLoaded() && FileSystem::isRegularFile(m_playback.CurrentSongPath()))
        m_fileManager.showItem(m_playback.CurrentSongPath());
}

void SelectionOperations::akp4Click()
{
    if (m_playback.songLoaded())
        copyFileToClipboard(m_playback.CurrentSongPath());
}

void SelectionOperations::mw6Click()
{
    Q_EMIT playingSongInformationRequested();
}

QStringList SelectionOperations::dragPaths(const QList<int> &rows) const
{
    QStringList paths;
    for (int row : validRows(rows)) {
        const QString path = resolvedPath(row);
        if (FileSystem::isRegularFile(path))
            paths.append(path);
    }
    return paths;
}

bool SelectionOperations::copyFileToClipboard(const QString &path)
{
    if (!FileSystem::isRegularFile(path))
        return false;
    putOnClipboard({path});
    return true;
}

void SelectionOperations::openFolder(const QString &folder)
{
    if (FileSystem::isDirectory(folder))
        m_fileManager.openFolder(folder);
}

QString SelectionOperations::playingSongPath() const
{
    return m_playback.songLoaded() ? m_playback.CurrentSongPath() : QString();
}
