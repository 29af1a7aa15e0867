#pragma once

#include "core/LanguageCode.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Where the integration writes: the data folder D of the freedesktop files (mime/, applications/,
// icons/, the file managers' folders) and the mimeapps.list that holds the default for the
// playlist type. Per user for an ordinary user, /usr/local/share as root.
struct DesktopScope
{
    QString dataDir;
    QString mimeAppsPath;
    bool systemWide = false;

    static DesktopScope perUser();
    static DesktopScope system();
    // The scope of this process: system-wide when the effective user is root.
    static DesktopScope forThisProcess();
};

// The program's place in the desktop: the ".slp" playlist type, Send To (Thunar's menu and a
// Nautilus script), and the context menus of folders, of all files and of chosen file types
// (KDE service menus, Nemo actions, file-manager actions read by PCManFM). Each integration is
// a set of files in the scope; every file carries the owner marker, is written whole (temporary
// file, then rename) with an explicit mode, and only files carrying the marker are ever replaced
// or removed. The one file of others that is edited is mimeapps.list, line by line.
class ShellIntegration
{
public:
    struct Options
    {
        DesktopScope scope;
        // The program every entry starts (see currentProgramPath).
        QString programPath;
        // The program icon as PNG at the given size in pixels; empty: no icon is written.
        std::function<QByteArray(int size)> iconPng;
        // Runs update-mime-database, update-desktop-database and gtk-update-icon-cache where
        // they are installed.
        bool refresh = true;
    };

    enum class Outcome {
        Done,
        // The program path cannot be written into a desktop entry; nothing was written.
        ProgramPathRefused,
        // A file could not be written, or one of another program is in the way.
        Failed,
    };

    explicit ShellIntegration(Options options);

    const Options &options() const { return m_options; }
    // The running program's executable; inside an AppImage the image file, since its mount
    // point changes with every start.
    static QString currentProgramPath();

    Outcome registerPlaylistType(const LanguageCode &lang);
    bool removePlaylistType();
    bool playlistTypeActive() const;

    Outcome registerSendTo();
    bool removeSendTo();
    // Whatever program the entry names: a Send To entry stays active while its file exists.
    bool sendToActive() const;

    Outcome registerFolders(const LanguageCode &lang);
    bool removeFolders();
    bool foldersActive() const;

    Outcome registerAllFiles(const LanguageCode &lang);
    bool removeAllFiles();
    bool allFilesActive() const;

    // The chosen types are a set of extensions (lower case, no dot): registering adds to it,
    // removing takes from it, and the files are rewritten from the set (deleted when it is empty).
    Outcome registerChosenTypes(const QStringList &extensions, const LanguageCode &lang);
    Outcome removeChosenTypes(const QStringList &extensions, const LanguageCode &lang);
    QStringList chosenTypes() const;

    // Every file of ours that exists in the scope (mimeapps.list is not ours).
    QStringList ourFiles() const;

    // File names below the data folder.
    static constexpr char kMimeType[] = "application/x-sonalo-playlist";
    static constexpr char kPlaylistDesktopId[] = "sonalo-playlist.desktop";

private:
    enum class Menu { Folders, AllFiles, ChosenTypes };

    QString path(const char *relative) const;
    QString iconPath(int size) const;
    QString nautilusScriptPath() const;
    QStringList menuFiles(Menu menu) const;
    Outcome writeMenu(Menu menu, const LanguageCode &lang, const QStringList &extensions);
    bool removeMenu(Menu menu);
    bool menuActive(Menu menu) const;
    bool execMatches(const QString &file, const char *group) const;
    // removeOurFile, then the folders that are left empty by it, up to the data folder.
    bool removeOurs(const QString &file, bool icon = false) const;
    void refreshMime();
    void refreshApplications();
    void refreshIcons();

    Options m_options;
    QString m_exec; // the Exec= value, empty when the program path is refused
    bool m_scopeUsable = false;
};
