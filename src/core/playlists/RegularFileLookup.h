#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>
#include <map>
#include <vector>

// Whether paths name regular files, with the answer stat gives, for many paths in a few
// folders (the entries of one playlist). A folder asked about often is listed once and later
// names are looked up in the listing; a folder that is rarely asked about, cannot be listed,
// lists entries of unknown kind or symbolic links, or treats letter case as equal is asked
// with stat as before. A folder that is not there answers "no" for every name in it. The names listed in all are bounded by the number of lookups expected,
// so a list naming many large folders costs no more than a stat per entry.
class RegularFileLookup
{
public:
    explicit RegularFileLookup(qsizetype expectedLookups = 0);

    // path: absolute, as stat takes it ("." and ".." segments, symbolic links and "//" are
    // resolved by the system as they would be for stat).
    bool isRegularFile(const QString &path);
    // The same for folder + name, folder absolute with a "/" at its end, name without "/"; the
    // path is only put together when stat must be asked.
    bool isRegularFileIn(const QString &folder, QStringView name);

    // How many folders were listed; for the tests.
    int listedFolders() const { return m_listedFolders; }

    // Stat is asked for this many names of a folder before the folder is listed.
    static constexpr int kStatsBeforeListing = 8;

private:
    struct Name
    {
        quint64 hash;
        quint32 offset; // in Folder::names
        quint16 size;
        unsigned char type; // d_type
    };
    struct Folder
    {
        int asked = 0;
        enum { Stat, Listed, Missing } mode = Stat;
        bool tried = false;
        std::string names;
        std::vector<Name> index;
        // Open addressing: 1 + the position in index, 0 for none. Not named "slots": in a file that
        // keeps Qt's keywords that word is a macro, and the member would vanish there.
        std::vector<quint32> buckets;
    };

    // Listed, Missing (no such folder: nothing in it is a file) or Stat.
    void list(const QString &folder, Folder &into);
    // The answer for name in folderPath (which ends with "/"); wholePath is folderPath + name.
    template <typename WholePath>
    bool lookUp(QStringView folderPath, QStringView name, const WholePath &wholePath);
    const Name *find(const Folder &folder, QByteArrayView name) const;

    struct ByText
    {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const { return a.compare(b) < 0; }
    };
    using Folders = std::map<QString, Folder, ByText>;
    Folders m_folders; // stable: m_last points into it
    Folders::value_type *m_last = nullptr;
    qsizetype m_budget; // names that may still be listed
    int m_listedFolders = 0;
};
