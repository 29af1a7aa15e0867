#include "core/SongLists.h"
#include "core/ListDisposal.h"
#include "core/ListStatus.h"
#include "core/playlists/CueSheet.h"

#include "core/FileSystem.h"
#include "core/KeepAlive.h"

#include <algorithm>

SongLists::SongLists(QString programFolder)
    : m_programFolder(std::move(programFolder))
{
}

SongLists::EditScope::~EditScope()
{
    if (m_lists)
        m_lists->endScope();
}

void SongLists::EditScope::ask(Refresh refresh)
{
    if (m_lists)
        m_lists->m_pending = std::max(m_lists->m_pending, refresh);
}

SongLists::EditScope SongLists::edit(Refresh refresh)
{
    ++m_depth;
    m_pending = std::max(m_pending, refresh);
    return EditScope(*this);
}

void SongLists::endScope()
{
    if (--m_depth > 0)
        return;
    const Refresh refresh = std::exchange(m_pending, Refresh::None);
    if (refresh == Refresh::None)
        return;
    // A listener may start a new command (a shown search runs again); the copy keeps the loop
    // safe when it adds or removes listeners meanwhile.
    const QList<Listener *> listeners = m_listeners;
    for (Listener *l : listeners)
        l->songListsChanged(refresh);
}

void SongLists::changed(Refresh refresh)
{
    // Inside a scope the command decides how its changes show; alone, an edit shows as its kind.
    if (m_depth == 0)
        EditScope scope = edit(refresh);
}

void SongLists::addListener(Listener *listener)
{
    if (!m_listeners.contains(listener))
        m_listeners.append(listener);
}

void SongLists::removeListener(Listener *listener)
{
    m_listeners.removeAll(listener);
}

namespace {

qint64 summedSeconds(const SongList &songs, const std::function<void()> &keepAlive = {})
{
    KeepAlive alive(keepAlive);
    qint64 total = 0;
    for (const TSongRecord &song : songs) {
        total += LengthSeconds(song.Length);
        alive.tick();
    }
    return total;
}

// Adds to a known sum; an unknown one stays unknown.
void addSeconds(qint64 &known, qint64 seconds)
{
    if (known >= 0)
        known += seconds;
}

} // namespace

qint64 SongLists::playlistSeconds() const
{
    if (m_allSeconds < 0)
        m_allSeconds = summedSeconds(m_all);
    return m_allSeconds;
}

qint64 SongLists::foundSeconds() const
{
    if (m_foundSeconds < 0)
        m_foundSeconds = summedSeconds(m_found);
    return m_foundSeconds;
}

void SongLists::append(TSongRecord song)
{
    addSeconds(m_allSeconds, LengthSeconds(song.Length));
    m_all.append(std::move(song));
    if (m_observer)
        m_observer->songsAppended(m_all.size() - 1);
    changed(Refresh::TableAndStatus);
}

void SongLists::append(SongList &&songs, const std::function<void()> &keepAlive)
{
    // Summed before anything changes: an edit the window makes meanwhile finds the lists whole.
    const qint64 seconds = m_allSeconds >= 0 ? summedSeconds(songs, keepAlive) : 0;
    addSeconds(m_allSeconds, seconds);
    // A load into an empty playlist takes the list as it is: a million songs in one step.
    const qsizetype from = m_all.size();
    if (m_all.isEmpty())
        m_all = std::move(songs);
    else
        m_all.append(std::move(songs));
    if (m_observer && m_all.size() > from)
        m_observer->songsAppended(from);
    changed(Refresh::TableAndStatus);
}

void SongLists::appendFrom(SongLists &other)
{
    EditScope scope = edit(Refresh::TableAndStatus);
    m_sourceFolders.append(std::exchange(other.m_sourceFolders, {}));
    if (other.m_allSeconds >= 0 && m_allSeconds >= 0) {
        // Their time comes along: a million songs are not summed twice.
        const qint64 known = m_allSeconds + other.m_allSeconds;
        m_allSeconds = -1;
        append(std::exchange(other.m_all, {}));
        m_allSeconds = known;
    } else {
        append(std::exchange(other.m_all, {}));
    }
    other.m_found.clear();
    other.m_showingFound = false;
    other.m_allSeconds = 0;
    other.m_foundSeconds = 0;
}

void SongLists::replaceAll(SongList songs)
{
    m_showingFound = false;
    releaseSongs(m_all);
    m_all = std::move(songs);
    ++m_playlistDrops;
    m_allSeconds = -1;
    if (m_observer)
        m_observer->replaced();
    changed(Refresh::TableAndStatus);
}

void SongLists::clear()
{
    m_showingFound = false;
    releaseSongs(m_all); // the last result stays, unshown
    m_allSeconds = 0;
    ++m_playlistDrops;
    if (m_observer)
        m_observer->replaced();
    changed(Refresh::TableAndStatus);
}

void SongLists::removeShownRows(const QList<int> &ascendingRows, const std::function<void()> &keepAlive)
{
    SongList &shown = m_showingFound ? m_found : m_all;
    QList<int> removed;
    removed.reserve(ascendingRows.size());
    for (int row : ascendingRows)
        if (row >= 0 && row < shown.size() && (removed.isEmpty() || row > removed.last()))
            removed.append(row);
    qint64 &shownSeconds = m_showingFound ? m_foundSeconds : m_allSeconds;
    if (removed.size() == shown.size()) {
        shownSeconds = 0;
    } else if (shownSeconds >= 0) {
        for (int row : removed)
            shownSeconds -= LengthSeconds(std::as_const(shown)[row].Length);
    }
    if (removed.size() == shown.size()) {
        releaseSongs(shown); // an undo step may still hold them: nothing to copy here
    } else if (!removed.isEmpty() && !shown.isDetached()) {
        // Shared with an undo step: copying the kept songs is cheaper than copying every song
        // to then remove some. Songs a hand-over adds while the window paints come at the end
        // and are kept with the others.
        KeepAlive alive(keepAlive);
        SongList kept;
        kept.reserve(shown.size() - removed.size());
        qsizetype next = 0;
        for (qsizetype row = 0; row < shown.size(); ++row) {
            if (next < removed.size() && removed[next] == row)
                ++next;
            else
                kept.append(std::as_const(shown)[row]);
            alive.tick();
        }
        releaseSongs(shown);
        shown = std::move(kept);
    } else if (!removed.isEmpty()) {
        // One pass over the list, whatever the number of rows: each kept song moves once (a
        // row at a time, a thousand rows of a million songs would move the rest a thousand
        // times).
        qsizetype to = removed.first();
        qsizetype next = 0;
        for (qsizetype from = removed.first(); from < shown.size(); ++from) {
            if (next < removed.size() && removed[next] == from) {
                ++next;
                continue;
            }
            shown[to++] = std::move(shown[from]);
        }
        shown.resize(to);
    }
    if (!m_showingFound && !removed.isEmpty())
        ++m_playlistDrops;
    if (m_observer && !m_showingFound && !removed.isEmpty())
        m_observer->rowsRemoved(removed);
    changed(Refresh::Table);
}

bool SongLists::reorderPlaylist(const std::vector<qsizetype> &order, const std::function<void()> &keepAlive)
{
    KeepAlive alive(keepAlive);
    const qsizetype n = m_all.size();
    if (m_showingFound || qsizetype(order.size()) != n)
        return false;
    std::vector<bool> seen(size_t(n), false);
    for (qsizetype from : order) {
        if (from < 0 || from >= n || seen[size_t(from)])
            return false;
        seen[size_t(from)] = true;
        alive.tick();
    }
    SongList reordered;
    reordered.reserve(n);
    // Copied, not moved: a repaint at a tick still finds every song of the old order in place.
    for (qsizetype from : order) {
        reordered.append(std::as_const(m_all)[from]);
        alive.tick();
    }
    // A hand-over may have added songs while the window painted: they stay, after the others.
    if (m_showingFound || m_all.size() < n)
        return false;
    std::vector<qsizetype> whole;
    // (their seconds were added as they came)
    for (qsizetype row = n; row < m_all.size(); ++row) {
        if (whole.empty())
            whole = order;
        reordered.append(std::as_const(m_all)[row]);
        whole.push_back(row);
    }
    releaseSongs(m_all);
    m_all = std::move(reordered);
    if (m_observer)
        m_observer->reordered(whole.empty() ? order : whole);
    changed(Refresh::Table);
    return true;
}

void SongLists::showFound(SongList found)
{
    releaseSongs(m_found);
    m_found = std::move(found);
    m_foundSeconds = -1;
    m_showingFound = true;
    changed(Refresh::Table);
}

void SongLists::showAll()
{
    m_showingFound = false;
    changed(Refresh::Table);
}

void SongLists::restore(Snapshot snapshot)
{
    const bool playlistChanged = m_all.constData() != snapshot.all.constData() || m_all.size() != snapshot.all.size();
    releaseSongs(m_all);
    m_all = std::move(snapshot.all);
    if (playlistChanged)
        ++m_playlistDrops;
    if (m_observer && playlistChanged)
        m_observer->replaced();
    releaseSongs(m_found);
    m_found = std::move(snapshot.found);
    m_showingFound = snapshot.showingFound;
    m_allSeconds = snapshot.allSeconds;
    m_foundSeconds = snapshot.foundSeconds;
    changed(Refresh::TableAndStatus);
}

void SongLists::addSourceFolder(const QString &folder)
{
    m_sourceFolders.append(folder);
}

void SongLists::addSourceFolders(const QStringList &folders)
{
    m_sourceFolders.append(folders);
}

bool SongLists::reorderShown(const Reorder &sort)
{
    EditScope scope = edit(Refresh::None);
    std::vector<qsizetype> order;
    const qsizetype before = m_all.size();
    const bool reordered = sort(m_showingFound ? m_found : m_all, order);
    if (reordered)
        scope.ask(Refresh::Table);
    if (reordered && m_observer && !m_showingFound) {
        if (qsizetype(order.size()) == before && before == m_all.size())
            m_observer->reordered(order);
        else if (!order.empty() || before != m_all.size())
            m_observer->replaced(); // reordered in a way the sort could not tell
    }
    return reordered;
}

QString SongLists::DateiFinden(const QString &path) const
{
    // Absolute here, or written on Windows with a drive.
    if (path.startsWith(QLatin1Char('/')) || path.contains(QLatin1String(":\\")))
        return path;
    // A track of a sheet: the sheet is looked up as any file is.
    if (const std::optional<SheetTrackRef> track = sheetTrackOf(path))
        return sheetTrackPath(DateiFinden(track->container), track->track);

    // A playlist made on Windows beside its music stores "sub\song.mp3".
    QString variants[2] = {path};
    int variantCount = 1;
    if (path.contains(QLatin1Char('\\')) && !path.contains(QLatin1Char('/'))) {
        variants[1] = path;
        variants[1].replace(QLatin1Char('\\'), QLatin1Char('/'));
        variantCount = 2;
    }
    auto firstExisting = [&](const QString &folder) -> QString {
        for (int v = 0; v < variantCount; ++v) {
            QString candidate = folder + variants[v];
            if (FileSystem::isRegularFile(candidate))
                return candidate;
        }
        return QString();
    };

    if (!m_programFolder.isEmpty()) {
        QString inProgram = firstExisting(m_programFolder);
        if (!inProgram.isEmpty())
            return inProgram;
    }
    QString found;
    for (const QString &folder : m_sourceFolders) {
        QString candidate = firstExisting(folder);
        if (!candidate.isEmpty())
            found = std::move(candidate);
    }
    return found.isEmpty() ? path : found;
}
