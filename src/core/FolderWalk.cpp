#include "core/FolderWalk.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

namespace {

struct Entry
{
    QString name;
    bool directory = false;
    bool regular = false;
};

using FolderId = std::pair<dev_t, ino_t>;

// One listing of a folder, sorted by name without regard to case (exact order breaks ties, so
// the result is the same on every run), and the folder's identity. Symbolic links are
// followed. The kind of an entry comes from the listing where the file system gives it; only
// links and entries of unknown kind cost a stat. False when the folder cannot be opened.
bool listFolder(const QString &folder, std::vector<Entry> &entries, FolderId &id)
{
    entries.clear();
    const QByteArray native = QFile::encodeName(folder);
    DIR *dir = ::opendir(native.constData());
    if (!dir)
        return false;
    struct stat st;
    if (::fstat(::dirfd(dir), &st) != 0) {
        ::closedir(dir);
        return false;
    }
    id = {st.st_dev, st.st_ino};
    while (const dirent *d = ::readdir(dir)) {
        const char *n = d->d_name;
        if ((n[0] == '.' && n[1] == 0) || (n[0] == '.' && n[1] == '.' && n[2] == 0))
            continue;
        Entry e;
        e.name = QFile::decodeName(n);
        if (d->d_type == DT_DIR) {
            e.directory = true;
        } else if (d->d_type == DT_REG) {
            e.regular = true;
        } else if ((d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) && ::fstatat(::dirfd(dir), n, &st, 0) == 0) {
            e.directory = S_ISDIR(st.st_mode);
            e.regular = S_ISREG(st.st_mode);
        }
        entries.push_back(std::move(e));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return true;
}

struct Walk
{
    QStringList &found;
    const QStringList &extensions;
    bool includeSubfolders;
    ScanState *state;                       // null for the silent walk
    const std::function<void()> *afterEntry;
    const std::function<void()> *afterFolder; // null or empty: nobody to keep alive
    std::set<FolderId> onPath;

    void run(QString folder)
    {
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        FolderId id{};
        std::vector<Entry> entries;
        if (!listFolder(folder, entries, id) || !onPath.insert(id).second)
            return; // missing, unreadable, or already being walked (a link loop)
        if (afterFolder && *afterFolder)
            (*afterFolder)();

        // Sub-folders before the folder's own files; this loop does not look at Cancel.
        if (includeSubfolders)
            for (const Entry &e : entries)
                if (e.directory)
                    run(folder + e.name);

        for (const QString &ext : extensions) {
            for (const Entry &e : entries) {
                if (!e.name.endsWith(ext, Qt::CaseInsensitive))
                    continue;
                // Only regular files are songs: a FIFO named x.mp3 would block whoever opens it.
                if (e.regular) {
                    found.append(folder + e.name);
                    if (state)
                        ++state->FoundCount;
                }
                if (state) {
                    if (*afterEntry)
                        (*afterEntry)();
                    if (state->ScanCancelled)
                        break; // the listing stops after the entry in hand
                }
            }
        }
        onPath.erase(id);
    }
};

} // namespace

void WideFindAllFiles(QStringList &found, const QString &folder, const QStringList &extensions,
                      bool includeSubfolders, const std::function<void()> &afterFolder)
{
    // An empty text names no folder. (Read as "/" it would walk the whole file system.)
    if (folder.isEmpty())
        return;
    Walk walk{found, extensions, includeSubfolders, nullptr, nullptr, &afterFolder, {}};
    walk.run(folder);
}

void WideFindAllFilesANZ(QStringList &found, const QString &folder, bool includeSubfolders,
                         const QStringList &extensions, ScanState &state,
                         const std::function<void()> &afterEntry)
{
    if (folder.isEmpty())
        return;
    Walk walk{found, extensions, includeSubfolders, &state, &afterEntry, nullptr, {}};
    walk.run(folder);
}
