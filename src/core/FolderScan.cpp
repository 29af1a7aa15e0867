#include "core/FolderScan.h"
#include "core/playlists/CueSheet.h"

#include "core/TextFold.h"

#include "core/FileSystem.h"
#include "core/TextEncoding.h"
#include "core/TextUtil.h"
#include "core/WorkBeside.h"

#include <QElapsedTimer>
#include <QScopeGuard>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

const QStringList &audioExtensions()
{
    static const QStringList list = {QStringLiteral(".mp3"),  QStringLiteral(".wav"),  QStringLiteral(".ogg"),
                                     QStringLiteral(".wma"),  QStringLiteral(".flac"), QStringLiteral(".opus"),
                                     QStringLiteral(".m4a")};
    return list;
}

void call(const std::function<void(int)> &f, int v)
{
    if (f)
        f(v);
}

void call(const std::function<void()> &f)
{
    if (f)
        f();
}

} // namespace


void SortFoldedList(QStringList &list, bool ascending)
{
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(size_t(list.size()));
    for (QString &t : list)
        keyed.emplace_back(FoldForSort(t), std::move(t));
    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto &a, const auto &b) {
        return ascending ? a.first < b.first : b.first < a.first;
    });
    list.clear();
    for (auto &k : keyed)
        list.append(std::move(k.second));
}

int AddFolder(const QString &folder, bool relative, ScanState &state, const AddSongFileFn &addSongFile,
              const std::function<void()> &keepAlive)
{
    // The window repaints at least every 100 ms: keepAlive runs once 50 ms have passed, after
    // a folder listing or a file, whichever comes first.
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    const std::function<void()> tick = [&] {
        if (keepAlive && sinceRepaint.elapsed() >= 50) {
            keepAlive();
            sinceRepaint.restart();
        }
    };
    state.FoundCount = 0;
    QStringList found;
    WideFindAllFiles(found, folder, audioExtensions(), true, tick);
    int added = 0;
    for (const QString &path : std::as_const(found)) {
        if (state.ScanCancelled)
            break;
        if (FileSystem::isRegularFile(path)) {
            addSongFile(path, relative);
            ++added;
        }
        ++state.FoundCount;
        tick();
    }
    state.ScanCancelled = false;
    return added;
}

KnownPaths::KnownPaths(const SongList &songs)
{
    m_sorted.reserve(size_t(songs.size()));
    for (const TSongRecord &r : songs) {
        m_sorted.emplace_back(FoldForSort(r.Path), r.Path);
        if (const std::optional<SheetTrackRef> track = sheetTrackOf(r.Path)) {
            const QString &c = track->container;
            m_sheetFiles.push_back(isCueSheetName(c) ? c.first(c.size() - 4) : c);
        }
    }
    std::sort(m_sorted.begin(), m_sorted.end());
    std::sort(m_sheetFiles.begin(), m_sheetFiles.end());
}

bool KnownPaths::contains(const QString &path) const
{
    if (std::binary_search(m_sorted.begin(), m_sorted.end(), std::make_pair(FoldForSort(path), path)))
        return true;
    if (m_sheetFiles.empty())
        return false;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > path.lastIndexOf(QLatin1Char('/'));
    return std::binary_search(m_sheetFiles.begin(), m_sheetFiles.end(), path)
        || (hasExtension && std::binary_search(m_sheetFiles.begin(), m_sheetFiles.end(), path.first(dot)));
}

QStringList FolderScanSettings::extensions() const
{
    QStringList list;
    if (mp3) list << QStringLiteral(".mp3");
    if (wav) list << QStringLiteral(".wav");
    if (ogg) list << QStringLiteral(".ogg");
    if (wma) list << QStringLiteral(".wma");
    if (flac) list << QStringLiteral(".flac");
    if (opus) list << QStringLiteral(".opus");
    if (m4a) list << QStringLiteral(".m4a");
    return list;
}

QStringList readFileList(const QString &listFile)
{
    const QString text = decodeLineReaderText(readTextFileBytes(listFile));
    QStringList files;
    forEachLine(text, [&](QStringView line) {
        if (line.size() > 3 && FileSystem::isRegularFile(line.toString()))
            files.append(line.toString());
    });
    return files;
}

FolderScanResult runFolderScan(const SongLists &lists, const FolderScanSettings &settings, ScanState &state,
                               const FolderScanView &view, const AddSongFileFn &addSongFile)
{
    FolderScanResult result;
    const QStringList extensions = settings.extensions();
    state.FoundCount = 0;
    QStringList found;
    if (extensions.isEmpty()) {
        // Walking with no type would find nothing; the dialog says why instead.
        result.noFileTypes = true;
    } else if (settings.folderText.contains(QLatin1String(".txt"))) {
        // A list file names the songs to add, one a line.
        found = readFileList(settings.folderText);
        state.FoundCount = int(found.size());
    } else {
        WideFindAllFilesANZ(found, settings.folderText, settings.includeSubfolders, extensions, state, [&] {
            call(view.foundChanged, state.FoundCount);
            call(view.processEvents);
        });
    }
    result.found = state.FoundCount;
    call(view.foundChanged, result.found);
    call(view.maximumChanged, result.found);
    state.FoundCount = 0;

    const QString programFolder = lists.programFolder();
    int handled = 0, shown = 0;
    auto show = [&] {
        shown = handled;
        call(view.handledChanged, handled);
        call(view.processEvents);
    };
    auto addIfFile = [&](const QString &path) {
        if (FileSystem::isRegularFile(path)) {
            addSongFile(path, settings.relative);
            ++result.added;
        }
    };

    if (settings.onlyNew && !lists.AllSongs().isEmpty()) {
        // Folding and sorting a million paths takes seconds: done beside the window, on the
        // playlist as it is now (the window takes no input meanwhile; a copy shares the songs).
        std::optional<KnownPaths> knownBeside;
        {
            // Let go before the first song is added: holding it, that would copy the playlist.
            const SongList snapshot = lists.AllSongs();
            workBeside([&] { knownBeside.emplace(snapshot); }, view.processEvents);
        }
        const KnownPaths &known = *knownBeside;
        // Freeing a million keys is a step too.
        const auto freeBeside = qScopeGuard([&] { workBeside([&] { knownBeside.reset(); }, view.processEvents); });
        QStringList sortedFound = found;
        SortFoldedList(sortedFound, true);
        for (const QString &path : std::as_const(sortedFound)) {
            if (state.ScanCancelled)
                break;
            const QString compared = settings.relative ? ReplaceAll(path, programFolder, QString()) : path;
            if (!known.contains(compared))
                addIfFile(path);
            ++handled;
            if (handled % 7 == 0)
                show();
        }
    } else {
        for (const QString &path : std::as_const(found)) {
            if (state.ScanCancelled)
                break;
            addIfFile(path);
            ++handled;
            if (handled % 7 == 1)
                show();
        }
    }

    result.cancelled = state.ScanCancelled;
    // A finished run shows every found file as read; a cancelled one keeps its last progress.
    result.handled = result.cancelled ? shown : result.found;
    if (!result.cancelled)
        call(view.handledChanged, result.handled);
    state.ScanCancelled = false;
    return result;
}
