#include "desktop/ShellIntegration.h"

#include "desktop/ChosenTypes.h"
#include "desktop/DesktopEntryText.h"
#include "desktop/MimeAppsList.h"
#include "desktop/OwnedFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

using namespace DesktopEntryText;
using namespace OwnedFiles;

constexpr char kPackage[] = "mime/packages/sonalo-playlist.xml";
constexpr char kPlaylistEntry[] = "applications/sonalo-playlist.desktop";
constexpr char kSendTo[] = "Thunar/sendto/sonalo-sendto.desktop";
constexpr char kNautilusScript[] = "nautilus/scripts/ORV Sonalo";
constexpr char kGlobs[] = "mime/globs2";
// Written into our own files when registering made what the database tools then fill: the
// per-user MIME database (into the package) and the desktop-file cache (into the entry).
constexpr char kCreatedDatabase[] = "X-Sonalo-Created=mime-database";
constexpr char kCreatedCache[] = "X-Sonalo-Created=mimeinfo.cache";
constexpr int kIconSizes[] = {256, 48};
constexpr int kToolTimeoutMs = 20000;

const QString kPlaylistTypeName = QStringLiteral("Playlist ORV Sonalo");
const QString kSendToName = QStringLiteral("ORV Sonalo");

struct MenuTexts
{
    const char *stem;     // file names: sonalo-<stem>.*
    const char *actionId; // KDE's action group
    QStringView de;
    QStringView en;
};

const MenuTexts kMenus[] = {
    {"folder", "sonalofolder", u"Öffnen mit ORV Sonalo", u"Open with ORV Sonalo"},
    {"files", "sonalofiles", u"Wiedergabe mit ORV Sonalo", u"Play Back with Sonalo"},
    {"types", "sonalotypes", u"Wiedergabe mit ORV Sonalo", u"Play Back with Sonalo"},
};

void runTool(const char *tool, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(QLatin1String(tool));
    if (program.isEmpty())
        return;
    QProcess p;
    // Their output says nothing the status check does not: update-mime-database, for one, notes
    // every folder that is not on the search path.
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, arguments);
    if (!p.waitForStarted(kToolTimeoutMs))
        return;
    if (!p.waitForFinished(kToolTimeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
    }
}

// True when our file at path holds the line.
bool ourFileSays(const QString &path, const char *line)
{
    const std::optional<QByteArray> bytes = readBounded(path);
    return bytes && carriesOwnerMarker(*bytes) && bytes->contains(QByteArray("\n") + line);
}

QByteArray utf8Lines(const QStringList &lines)
{
    return (lines.join(u'\n') + u'\n').toUtf8();
}

QString listValue(const QStringList &items, const QString &prefix = {})
{
    QString out;
    for (const QString &item : items)
        out += prefix + item + u';';
    return out;
}

QStringList localisedNames(const MenuTexts &texts, const LanguageCode &lang)
{
    return {QStringLiteral("Name=") + lang.text(texts.de, texts.en), QStringLiteral("Name[de]=") + texts.de.toString(),
            QStringLiteral("Name[en]=") + texts.en.toString()};
}

// The KDE MIME types of the extensions, in order, each once. Extensions without a known type
// get none: an invented type would change how every program sees such files.
QStringList kdeMimeTypes(const QStringList &extensions)
{
    QMimeDatabase db;
    QStringList types;
    for (const QString &extension : extensions)
        for (const QMimeType &t : db.mimeTypesForFileName(QStringLiteral("x.") + extension))
            if (!types.contains(t.name()))
                types.append(t.name());
    return types;
}

} // namespace

DesktopScope DesktopScope::perUser()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
            config.isEmpty() ? QString() : config + QStringLiteral("/mimeapps.list"), false};
}

DesktopScope DesktopScope::system()
{
    // Fixed: root's environment (and pkexec's) says nothing about where the users' sessions look,
    // and /usr/local/share is in every reader's default search path.
    return {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/local/share/applications/mimeapps.list"), true};
}

DesktopScope DesktopScope::forThisProcess()
{
    return ::geteuid() == 0 ? system() : perUser();
}

ShellIntegration::ShellIntegration(Options options)
    : m_options(std::move(options)), m_exec(desktopExec(m_options.programPath))
{
    // Without a home (no data folder known) the paths would start at the file system's root.
    const DesktopScope &s = m_options.scope;
    m_scopeUsable = QDir::isAbsolutePath(s.dataDir) && s.dataDir.size() > 1 && QDir::isAbsolutePath(s.mimeAppsPath);
}

QString ShellIntegration::currentProgramPath()
{
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    if (appImage.startsWith(u'/') && QFileInfo(appImage).isFile())
        return appImage;
    return QCoreApplication::applicationFilePath();
}

QString ShellIntegration::path(const char *relative) const
{
    return m_options.scope.dataDir + u'/' + QString::fromUtf8(relative);
}

bool ShellIntegration::removeOurs(const QString &file, bool icon) const
{
    const bool ok = removeOurFile(file, icon);
    removeEmptyFolders(file, m_options.scope.dataDir);
    return ok;
}

QString ShellIntegration::iconPath(int size) const
{
    return m_options.scope.dataDir + QStringLiteral("/icons/hicolor/%1x%1/mimetypes/application-x-sonalo-playlist.png").arg(size);
}

QString ShellIntegration::nautilusScriptPath() const
{
    // Nautilus reads scripts from the user's data folder only.
    return m_options.scope.systemWide ? QString() : path(kNautilusScript);
}

bool ShellIntegration::execMatches(const QString &file, const char *group) const
{
    if (m_exec.isEmpty() || !m_scopeUsable)
        return false;
    const std::optional<QByteArray> bytes = readBounded(file);
    if (!bytes || !carriesOwnerMarker(*bytes))
        return false;
    const std::optional<QString> exec = value(*bytes, QString::fromLatin1(group), u"Exec");
    return exec && *exec == m_exec;
}

void ShellIntegration::refreshMime()
{
    if (m_options.refresh)
        runTool("update-mime-database", {m_options.scope.dataDir + QStringLiteral("/mime")});
}

void ShellIntegration::refreshApplications()
{
    if (m_options.refresh)
        runTool("update-desktop-database", {m_options.scope.dataDir + QStringLiteral("/applications")});
}

void ShellIntegration::refreshIcons()
{
    // Only a theme folder that already has a cache needs it renewed; without one it is scanned.
    const QString theme = m_options.scope.dataDir + QStringLiteral("/icons/hicolor");
    if (m_options.refresh && QFileInfo::exists(theme + QStringLiteral("/icon-theme.cache")))
        runTool("gtk-update-icon-cache", {QStringLiteral("-f"), QStringLiteral("-t"), theme});
}

// The playlist type -------------------------------------------------------------------------

ShellIntegration::Outcome ShellIntegration::registerPlaylistType(const LanguageCode &lang)
{
    if (m_exec.isEmpty())
        return Outcome::ProgramPathRefused;
    if (!m_scopeUsable)
        return Outcome::Failed;
    Q_UNUSED(lang) // the type's texts are the same in both languages
    const QString name = QString::fromUtf8(kMimeType);
    // Whether the database and the cache are ours to remove again: they did not exist before, or
    // an earlier registration of ours made them.
    const bool createsDatabase = !QFileInfo::exists(path("mime/mime.cache")) || ourFileSays(path(kPackage), kCreatedDatabase);
    const bool createsCache =
        !QFileInfo::exists(path("applications/mimeinfo.cache")) || ourFileSays(path(kPlaylistEntry), kCreatedCache);
    const QStringList created = createsDatabase ? QStringList{QStringLiteral("<!--"), QLatin1String(kCreatedDatabase),
                                                              QStringLiteral("-->")}
                                                : QStringList{};
    const QByteArray package = utf8Lines(QStringList{
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral("<!-- ") + QLatin1String(kOwnerMarker) + QStringLiteral(" -->")} + created + QStringList{
        QStringLiteral("<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">"),
        QStringLiteral("  <mime-type type=\"") + name + QStringLiteral("\">"),
        QStringLiteral("    <comment>") + kPlaylistTypeName + QStringLiteral("</comment>"),
        QStringLiteral("    <sub-class-of type=\"text/plain\"/>"),
        QStringLiteral("    <glob pattern=\"*.slp\"/>"),
        QStringLiteral("  </mime-type>"),
        QStringLiteral("</mime-info>"),
    });
    // A file-type registration, not a menu launcher, and for our type only: listing audio types
    // or folders here would make the player their handler wherever no default is set.
    const QByteArray entry = utf8Lines(QStringList{
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=ORV Sonalo"),
        QStringLiteral("Comment=") + kPlaylistTypeName,
        QStringLiteral("Icon=application-x-sonalo-playlist"),
        QStringLiteral("TryExec=") + plainValue(m_options.programPath),
        QStringLiteral("Exec=") + m_exec,
        QStringLiteral("MimeType=") + name + u';',
        QStringLiteral("NoDisplay=true"),
        QStringLiteral("Terminal=false"),
        QLatin1String(kOwnerMarker),
    } + (createsCache ? QStringList{QLatin1String(kCreatedCache)} : QStringList{}));
    bool ok = writeFile(path(kPackage), package, 0644);
    for (int size : kIconSizes) {
        const QByteArray png = m_options.iconPng ? markedPng(m_options.iconPng(size)) : QByteArray();
        ok = !png.isEmpty() && writeFile(iconPath(size), png, 0644) && ok;
    }
    ok = writeFile(path(kPlaylistEntry), entry, 0644) && ok;
    refreshMime();
    refreshIcons();
    refreshApplications();

    ok = editMimeApps(m_options.scope.mimeAppsPath, [&name](const QByteArray &text) {
        return MimeAppsList::setDefault(text, name, QString::fromUtf8(kPlaylistDesktopId));
    }) && ok;
    return ok ? Outcome::Done : Outcome::Failed;
}

bool ShellIntegration::removePlaylistType()
{
    if (!m_scopeUsable)
        return false;
    const bool ourDatabase = ourFileSays(path(kPackage), kCreatedDatabase);
    const bool ourCache = ourFileSays(path(kPlaylistEntry), kCreatedCache);
    bool ok = removeOurFile(path(kPackage));
    for (int size : kIconSizes)
        ok = removeOurs(iconPath(size), true) && ok;
    ok = removeOurFile(path(kPlaylistEntry)) && ok;
    // The databases index other programs' types too: rebuilt, and deleted only when we made
    // them and nothing but ours was ever in them.
    const QDir packages(path("mime/packages"));
    const auto entries = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    if (ourDatabase && packages.entryList(entries).isEmpty())
        QDir(path("mime")).removeRecursively();
    else if (packages.exists())
        refreshMime();
    refreshIcons();
    const QDir applications(path("applications"));
    if (ourCache && applications.entryList(entries) == QStringList{QStringLiteral("mimeinfo.cache")}) {
        QFile::remove(applications.filePath(QStringLiteral("mimeinfo.cache")));
        removeEmptyFolders(applications.filePath(QStringLiteral("mimeinfo.cache")), m_options.scope.dataDir);
    } else if (applications.exists()) {
        refreshApplications();
        removeEmptyFolders(path(kPlaylistEntry), m_options.scope.dataDir);
    }
    ok = editMimeApps(m_options.scope.mimeAppsPath, [](const QByteArray &text) {
        return MimeAppsList::removeApplication(text, QString::fromUtf8(kPlaylistDesktopId));
    }) && ok;
    return ok;
}

bool ShellIntegration::playlistTypeActive() const
{
    if (!isOurFile(path(kPackage)) || !isOurIcon(iconPath(256)) || !execMatches(path(kPlaylistEntry), "Desktop Entry"))
        return false;
    // The compiled database proves that the package was taken in.
    const std::optional<QByteArray> globs = readBounded(path(kGlobs), 16 * 1024 * 1024);
    if (!globs)
        return false;
    bool compiled = false;
    for (const QByteArray &line : globs->split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(':');
        if (fields.size() >= 3 && fields[1] == kMimeType && fields[2] == "*.slp")
            compiled = true;
    }
    if (!compiled)
        return false;
    const QString list = QFileInfo(m_options.scope.mimeAppsPath).canonicalFilePath();
    const std::optional<QByteArray> apps = list.isEmpty() ? std::nullopt : readBounded(list, 4 * 1024 * 1024);
    return apps && MimeAppsList::firstDefault(*apps, QString::fromUtf8(kMimeType)) == QLatin1String(kPlaylistDesktopId);
}

// Send To ------------------------------------------------------------------------------------

ShellIntegration::Outcome ShellIntegration::registerSendTo()
{
    if (m_exec.isEmpty())
        return Outcome::ProgramPathRefused;
    if (!m_scopeUsable)
        return Outcome::Failed;
    // No MimeType: Thunar then offers the entry for every selection.
    const QByteArray entry = utf8Lines({
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Version=1.0"),
        QStringLiteral("Name=") + kSendToName,
        QStringLiteral("TryExec=") + plainValue(m_options.programPath),
        QStringLiteral("Exec=") + m_exec,
        QLatin1String(kOwnerMarker),
    });
    bool ok = writeFile(path(kSendTo), entry, 0644);
    if (const QString script = nautilusScriptPath(); !script.isEmpty()) {
        const QByteArray text = utf8Lines({
            QStringLiteral("#!/bin/sh"),
            QStringLiteral("# ") + QLatin1String(kOwnerMarker),
            QStringLiteral("exec ") + shellSingleQuoted(m_options.programPath) + QStringLiteral(" \"$@\""),
        });
        ok = writeFile(script, text, 0755) && ok;
    }
    return ok ? Outcome::Done : Outcome::Failed;
}

bool ShellIntegration::removeSendTo()
{
    if (!m_scopeUsable)
        return false;
    bool ok = removeOurs(path(kSendTo));
    if (const QString script = nautilusScriptPath(); !script.isEmpty())
        ok = removeOurs(script) && ok;
    return ok;
}

bool ShellIntegration::sendToActive() const
{
    if (!m_scopeUsable)
        return false;
    const QString script = nautilusScriptPath();
    return isOurFile(path(kSendTo)) && (script.isEmpty() || isOurFile(script));
}

// Context menus -------------------------------------------------------------------------------

QStringList ShellIntegration::menuFiles(Menu menu) const
{
    const QString stem = QStringLiteral("sonalo-") + QLatin1String(kMenus[int(menu)].stem);
    const QString d = m_options.scope.dataDir;
    return {d + QStringLiteral("/kio/servicemenus/") + stem + QStringLiteral(".desktop"),
            d + QStringLiteral("/nemo/actions/") + stem + QStringLiteral(".nemo_action"),
            d + QStringLiteral("/file-manager/actions/") + stem + QStringLiteral(".desktop")};
}

ShellIntegration::Outcome ShellIntegration::writeMenu(Menu menu, const LanguageCode &lang, const QStringList &extensions)
{
    if (m_exec.isEmpty())
        return Outcome::ProgramPathRefused;
    if (!m_scopeUsable)
        return Outcome::Failed;
    const MenuTexts &texts = kMenus[int(menu)];
    const QString exec = QStringLiteral("Exec=") + m_exec;
    const QString tryExec = QStringLiteral("TryExec=") + plainValue(m_options.programPath);
    const QString marker = QLatin1String(kOwnerMarker);
    const QStringList names = localisedNames(texts, lang);
    const QString stored = QStringLiteral("X-Sonalo-Extensions=") + listValue(extensions);

    QString kdeTypes, nemoMatch, emaMatch;
    switch (menu) {
    case Menu::Folders:
        kdeTypes = QStringLiteral("inode/directory;");
        nemoMatch = QStringLiteral("Extensions=dir;");
        emaMatch = QStringLiteral("MimeTypes=inode/directory;");
        break;
    case Menu::AllFiles:
        kdeTypes = QStringLiteral("all/allfiles;");
        nemoMatch = QStringLiteral("Extensions=nodirs;");
        emaMatch = QStringLiteral("MimeTypes=all/allfiles;");
        break;
    case Menu::ChosenTypes:
        kdeTypes = listValue(kdeMimeTypes(extensions));
        nemoMatch = QStringLiteral("Extensions=") + listValue(extensions);
        emaMatch = QStringLiteral("Basenames=") + listValue(extensions, QStringLiteral("*."));
        break;
    }
    const QStringList files = menuFiles(menu);
    bool ok = true;

    // KDE: TopLevel keeps the item out of the "Actions" submenu; the executable bit is required.
    if (!kdeTypes.isEmpty()) {
        QStringList kde = {QStringLiteral("[Desktop Entry]"),
                           QStringLiteral("Type=Service"),
                           QStringLiteral("MimeType=") + kdeTypes,
                           QStringLiteral("Actions=") + QLatin1String(texts.actionId) + u';',
                           QStringLiteral("X-KDE-Priority=TopLevel"),
                           tryExec,
                           marker};
        if (menu == Menu::ChosenTypes)
            kde.append(stored);
        kde += QStringList{QString(), QStringLiteral("[Desktop Action ") + QLatin1String(texts.actionId) + u']'};
        kde += names;
        kde.append(exec);
        ok = writeFile(files[0], utf8Lines(kde), 0755) && ok;
    } else {
        // None of the chosen extensions has a type KDE knows.
        ok = removeOurFile(files[0]) && ok;
    }

    QStringList nemo = {QStringLiteral("[Nemo Action]")};
    nemo += names;
    nemo += QStringList{exec, QStringLiteral("Selection=notnone"), nemoMatch, marker};
    if (menu == Menu::ChosenTypes)
        nemo.append(stored);
    ok = writeFile(files[1], utf8Lines(nemo), 0644) && ok;

    QStringList ema = {QStringLiteral("[Desktop Entry]"), QStringLiteral("Type=Action")};
    ema += names;
    ema += QStringList{QStringLiteral("Profiles=main;"), tryExec, marker};
    if (menu == Menu::ChosenTypes)
        ema.append(stored);
    ema += QStringList{QString(), QStringLiteral("[X-Action-Profile main]"), emaMatch};
    if (menu == Menu::ChosenTypes)
        ema.append(QStringLiteral("MatchCase=false"));
    ema.append(exec);
    ok = writeFile(files[2], utf8Lines(ema), 0644) && ok;
    return ok ? Outcome::Done : Outcome::Failed;
}

bool ShellIntegration::removeMenu(Menu menu)
{
    if (!m_scopeUsable)
        return false;
    bool ok = true;
    for (const QString &file : menuFiles(menu))
        ok = removeOurs(file) && ok;
    return ok;
}

bool ShellIntegration::menuActive(Menu menu) const
{
    const QStringList files = menuFiles(menu);
    return execMatches(files[0], menu == Menu::Folders ? "Desktop Action sonalofolder" : "Desktop Action sonalofiles") &&
           execMatches(files[1], "Nemo Action") && execMatches(files[2], "X-Action-Profile main");
}

ShellIntegration::Outcome ShellIntegration::registerFolders(const LanguageCode &lang)
{
    return writeMenu(Menu::Folders, lang, {});
}

bool ShellIntegration::removeFolders()
{
    return removeMenu(Menu::Folders);
}

bool ShellIntegration::foldersActive() const
{
    return menuActive(Menu::Folders);
}

ShellIntegration::Outcome ShellIntegration::registerAllFiles(const LanguageCode &lang)
{
    return writeMenu(Menu::AllFiles, lang, {});
}

bool ShellIntegration::removeAllFiles()
{
    return removeMenu(Menu::AllFiles);
}

bool ShellIntegration::allFilesActive() const
{
    return menuActive(Menu::AllFiles);
}

QStringList ShellIntegration::chosenTypes() const
{
    if (!m_scopeUsable)
        return {};
    // The Nemo file is written for every non-empty set; the others are read when it is gone.
    for (const QString &file : menuFiles(Menu::ChosenTypes)) {
        const std::optional<QByteArray> bytes = readBounded(file);
        if (!bytes || !carriesOwnerMarker(*bytes))
            continue;
        for (const char *group : {"Desktop Entry", "Nemo Action"})
            if (const std::optional<QString> v = value(*bytes, QString::fromLatin1(group), u"X-Sonalo-Extensions"))
                return ChosenTypes::normalized(v->split(u';', Qt::SkipEmptyParts));
    }
    return {};
}

ShellIntegration::Outcome ShellIntegration::registerChosenTypes(const QStringList &extensions, const LanguageCode &lang)
{
    if (m_exec.isEmpty())
        return Outcome::ProgramPathRefused;
    if (!m_scopeUsable)
        return Outcome::Failed;
    QStringList set = chosenTypes();
    for (const QString &e : ChosenTypes::normalized(extensions))
        if (!set.contains(e))
            set.append(e);
    if (set.isEmpty())
        return Outcome::Done;
    return writeMenu(Menu::ChosenTypes, lang, set);
}

ShellIntegration::Outcome ShellIntegration::removeChosenTypes(const QStringList &extensions, const LanguageCode &lang)
{
    QStringList set = chosenTypes();
    for (const QString &e : ChosenTypes::normalized(extensions))
        set.removeAll(e);
    if (set.isEmpty())
        return removeMenu(Menu::ChosenTypes) ? Outcome::Done : Outcome::Failed;
    // What stays is written anew, from this program.
    return writeMenu(Menu::ChosenTypes, lang, set);
}

QStringList ShellIntegration::ourFiles() const
{
    if (!m_scopeUsable)
        return {};
    QStringList candidates = {path(kPackage), path(kPlaylistEntry), path(kSendTo)};
    if (const QString script = nautilusScriptPath(); !script.isEmpty())
        candidates.append(script);
    for (Menu menu : {Menu::Folders, Menu::AllFiles, Menu::ChosenTypes})
        candidates += menuFiles(menu);
    QStringList found;
    for (const QString &file : candidates)
        if (isOurFile(file))
            found.append(file);
    for (int size : kIconSizes)
        if (isOurIcon(iconPath(size)))
            found.append(iconPath(size));
    return found;
}
