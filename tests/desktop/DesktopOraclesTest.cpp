// The registered files as the desktop's own tools read them: shared-mime-info, GIO's type and
// default lookup, GLib's desktop-entry parser launching a program at a hostile path, the file
// managers' command-line parsing (GLib's shell parser, as Nemo and libfm use it), and the
// launched program handing its file to the copy already running. Tools that are not installed
// are skipped with a note; scripts/setup installs them.
#include "desktop/DesktopEntryText.h"
#include "desktop/ShellIntegration.h"

#include "DesktopFixtures.h"
#include "TempDir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

class DesktopOraclesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        for (const char *d : {"home", "data", "config", "cache", "runtime"})
            QDir().mkpath(path(d));
        ::chmod(QFile::encodeName(path("runtime")).constData(), 0700);
        env = QProcessEnvironment::systemEnvironment();
        env.insert(u8("HOME"), path("home"));
        env.insert(u8("XDG_DATA_HOME"), path("data"));
        env.insert(u8("XDG_CONFIG_HOME"), path("config"));
        env.insert(u8("XDG_CACHE_HOME"), path("cache"));
        env.insert(u8("XDG_RUNTIME_DIR"), path("runtime"));
        env.insert(u8("XDG_DATA_DIRS"), u8("/usr/share"));
        env.remove(u8("XDG_CURRENT_DESKTOP"));
        env.insert(u8("SONALO_ARGV_LOG"), path("argv.log"));
    }
    QString path(const char *relative) const { return work.path() + u'/' + u8(relative); }

    ShellIntegration shellFor(const QString &program) const
    {
        return ShellIntegration({DesktopScope{path("data"), path("config/mimeapps.list"), false}, program, &tinyPng});
    }

    // A program that writes its arguments, one per line, to $SONALO_ARGV_LOG.
    QString loggingProgram(const char *relative) const
    {
        const QString program = path(relative);
        QDir().mkpath(QFileInfo(program).path());
        QFile f(program);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nfor a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\"; done >> \"$SONALO_ARGV_LOG\"\n");
        f.close();
        ::chmod(QFile::encodeName(program).constData(), 0755);
        return program;
    }

    struct Run
    {
        int code = -1;
        QString out;
    };
    Run run(const QString &tool, const QStringList &arguments) const
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(tool, arguments);
        if (!p.waitForFinished(30000))
            p.kill();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
    }
    static QString tool(const char *name) { return QStandardPaths::findExecutable(u8(name)); }

    // The lines the logging program wrote, once `count` of them are there.
    QStringList loggedArguments(int count) const
    {
        QElapsedTimer t;
        t.start();
        QStringList lines;
        do {
            lines = QString::fromUtf8(TempDir::read(path("argv.log"))).split(u'\n', Qt::SkipEmptyParts);
            if (lines.size() >= count)
                break;
            QThread::msleep(50);
        } while (t.elapsed() < 20000);
        QFile::remove(path("argv.log"));
        return lines;
    }

    QTemporaryDir work{QStringLiteral(SONALO_BINARY_DIR "/desktop-oracles-XXXXXX")};
    QProcessEnvironment env;
    LanguageCode en{u8("en")};
};

// What Nemo and libfm do with an Exec line: %F becomes the shell-quoted paths, then GLib's shell
// parser splits it.
QStringList shellParsedCommand(const QByteArray &file, const char *group, const QStringList &items)
{
    GKeyFile *keys = g_key_file_new();
    QStringList argv;
    if (g_key_file_load_from_data(keys, file.constData(), gsize(file.size()), G_KEY_FILE_NONE, nullptr)) {
        if (gchar *exec = g_key_file_get_string(keys, group, "Exec", nullptr)) {
            QByteArray quoted;
            for (const QString &item : items) {
                gchar *q = g_shell_quote(item.toUtf8().constData());
                quoted += ' ' + QByteArray(q);
                g_free(q);
            }
            QByteArray line(exec);
            g_free(exec);
            line.replace(" %F", quoted);
            gchar **parsed = nullptr;
            if (g_shell_parse_argv(line.constData(), nullptr, &parsed, nullptr)) {
                for (gchar **a = parsed; *a; ++a)
                    argv.append(QString::fromUtf8(*a));
                g_strfreev(parsed);
            }
        }
    }
    g_key_file_free(keys);
    return argv;
}

TEST_F(DesktopOraclesTest, TheDesktopsToolsReadAndLaunchWhatWasRegistered)
{
    const QString program = loggingProgram("ORV Sonalo/it's $x/a\"b\\c`d/sonalo");
    ShellIntegration shell = shellFor(program);
    ASSERT_EQ(shell.registerPlaylistType(en), ShellIntegration::Outcome::Done);
    ASSERT_EQ(shell.registerSendTo(), ShellIntegration::Outcome::Done);
    ASSERT_EQ(shell.registerFolders(en), ShellIntegration::Outcome::Done);
    ASSERT_EQ(shell.registerChosenTypes({u8(".mp3")}, en), ShellIntegration::Outcome::Done);
    ASSERT_TRUE(shell.playlistTypeActive()) << "update-mime-database did not take the package in";
    // With some text in them: GIO takes an empty file for plain text whatever its name.
    const QString playlist = path("list one.slp");
    const QString upper = path("UPPER.SLP");
    for (const QString &f : {playlist, upper}) {
        QFile out(f);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("Artist|Title|3:00|||||/music/a.mp3\r\n");
    }
    const QString sendTo = path("data/Thunar/sendto/sonalo-sendto.desktop");

    if (const QString validate = tool("desktop-file-validate"); !validate.isEmpty()) {
        for (const char *entry : {"data/applications/sonalo-playlist.desktop", "data/Thunar/sendto/sonalo-sendto.desktop"}) {
            const Run r = run(validate, {path(entry)});
            EXPECT_EQ(r.code, 0) << entry << ": " << r.out.toStdString();
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        }
    } else {
        std::cout << "note: desktop-file-validate not installed\n";
    }

    const QString gio = tool("gio");
    if (gio.isEmpty())
        GTEST_SKIP() << "gio not installed";
    for (const QString &f : {playlist, upper})
        EXPECT_TRUE(run(gio, {u8("info"), u8("-a"), u8("standard::content-type"), f})
                        .out.contains(u8("application/x-sonalo-playlist")))
            << f.toStdString();
    const Run mime = run(gio, {u8("mime"), u8("application/x-sonalo-playlist")});
    EXPECT_TRUE(mime.out.section(u'\n', 0, 0).contains(u8("sonalo-playlist.desktop"))) << mime.out.toStdString();

    // GLib's desktop-entry parser: the exact program path, the exact items.
    EXPECT_EQ(run(gio, {u8("open"), playlist}).code, 0);
    EXPECT_EQ(loggedArguments(2), QStringList({program, playlist}));
    EXPECT_EQ(run(gio, {u8("launch"), sendTo, path("a"), path("b c")}).code, 0);
    EXPECT_EQ(loggedArguments(3), QStringList({program, path("a"), path("b c")}));
    // The Nautilus script.
    EXPECT_EQ(run(path("data/nautilus/scripts/ORV Sonalo"), {path("x y"), path("z")}).code, 0);
    EXPECT_EQ(loggedArguments(3), QStringList({program, path("x y"), path("z")}));
    // Nemo, libfm and KDE action files, split as their file managers split them.
    const struct
    {
        const char *file, *group;
    } actions[] = {{"data/nemo/actions/sonalo-folder.nemo_action", "Nemo Action"},
                   {"data/file-manager/actions/sonalo-folder.desktop", "X-Action-Profile main"},
                   {"data/kio/servicemenus/sonalo-folder.desktop", "Desktop Action sonalofolder"},
                   {"data/nemo/actions/sonalo-types.nemo_action", "Nemo Action"},
                   {"data/file-manager/actions/sonalo-types.desktop", "X-Action-Profile main"}};
    for (const auto &a : actions)
        EXPECT_EQ(shellParsedCommand(TempDir::read(path(a.file)), a.group, {path("it's a \"dir\"")}),
                  QStringList({program, path("it's a \"dir\"")}))
            << a.file;

    EXPECT_TRUE(shell.removePlaylistType());
    EXPECT_TRUE(shell.removeSendTo());
    EXPECT_TRUE(shell.removeFolders());
    EXPECT_EQ(shell.removeChosenTypes({u8("mp3")}, en), ShellIntegration::Outcome::Done);
    EXPECT_TRUE(shell.ourFiles().isEmpty());
    EXPECT_TRUE(run(gio, {u8("mime"), u8("application/x-sonalo-playlist")}).out.contains(u8("No default applications")));
    EXPECT_TRUE(run(gio, {u8("info"), u8("-a"), u8("standard::content-type"), playlist}).out.contains(u8("text/plain")));
}

// The program started by the desktop's entry hands its file to the copy already running.
TEST_F(DesktopOraclesTest, ALaunchedEntryHandsItsFileToTheRunningCopy)
{
    const QString gio = tool("gio");
    if (gio.isEmpty())
        GTEST_SKIP() << "gio not installed";
    const QString program = path("ORV Sonalo/it's $x/sonalo");
    QDir().mkpath(QFileInfo(program).path());
    const QByteArray from = QFile::encodeName(QStringLiteral(SONALO_E2E_PROGRAM));
    if (::link(from.constData(), QFile::encodeName(program).constData()) != 0) {
        ASSERT_TRUE(QFile::copy(QFile::decodeName(from), program));
    }
    ShellIntegration shell = shellFor(program);
    ASSERT_EQ(shell.registerSendTo(), ShellIntegration::Outcome::Done);
    const QString song = path("song one.mp3");
    QFile(song).open(QIODevice::WriteOnly);

    env.insert(u8("QT_QPA_PLATFORM"), u8("offscreen"));
    env.insert(u8("SONALO_AUDIO_SINK"), u8("fakesink"));
    QProcess first;
    QProcessEnvironment firstEnv = env;
    firstEnv.insert(u8("SONALO_TEST_DUMP_TABLE"), path("table.txt"));
    firstEnv.insert(u8("SONALO_TEST_DUMP_AFTER_HANDOVERS"), u8("1"));
    first.setProcessEnvironment(firstEnv);
    first.setWorkingDirectory(work.path());
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted(10000));
    // Listening once its channel holds a socket.
    QElapsedTimer t;
    t.start();
    auto listening = [&] {
        for (const QFileInfo &channel : QDir(path("runtime")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (!QDir(channel.filePath()).entryList({u8("*.socket")}, QDir::System).isEmpty())
                return true;
        return false;
    };
    while (!listening() && t.elapsed() < 60000)
        QThread::msleep(50);
    ASSERT_TRUE(listening()) << "the first copy never listened";

    const Run launch = run(gio, {u8("launch"), path("data/Thunar/sendto/sonalo-sendto.desktop"), song});
    EXPECT_EQ(launch.code, 0) << launch.out.toStdString();
    ASSERT_TRUE(first.waitForFinished(90000)) << "the running copy never got the file";
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    const QStringList table = QString::fromUtf8(TempDir::read(path("table.txt"))).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(table.size(), 2) << table.join(u8("\n")).toStdString();
    EXPECT_EQ(table[1].section(u'\t', -1), song);
}

} // namespace
