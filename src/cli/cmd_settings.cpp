#include "cli/CliCommand.h"

#include "core/ProductName.h"
#include "core/FileSystem.h"
#include "core/SettingsFile.h"

#include <QStandardPaths>

namespace {

int settingsShow(const QStringList &args)
{
    if (args.size() > 1)
        return usageError(QStringLiteral("expected at most one file"));
    // Without a file: the one a player installed beside this tool would use.
    const QString path = args.isEmpty()
                             ? SettingsFile::location(FileSystem::programFolder(),
                                                      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                                          + QLatin1Char('/') + productName())
                             : args[0];
    const SettingsFile::ReadResult r = SettingsFile::read(path);
    if (r.status == SettingsFile::ReadResult::Unreadable) {
        cliErr() << "sonalo-cli: cannot read " << path << ": " << r.error << '\n';
        return kExitFailure;
    }
    if (r.status == SettingsFile::ReadResult::Missing)
        cliErr() << "sonalo-cli: no file " << path << "; every key keeps its design state\n";
    QTextStream &out = cliOut();
    out << "# " << path << '\n';
    for (const SettingsFile::Key &key : SettingsFile::keys()) {
        const SettingsFile::KeyReading k = SettingsFile::describe(r.ini, key);
        out << key.section << '\t' << key.name << '\t' << k.value;
        if (!k.why.isEmpty())
            out << '\t' << k.why;
        out << '\n';
    }
    return kExitOk;
}

const CliRegistration show{{
    {QStringLiteral("settings"), QStringLiteral("show")},
    QStringLiteral("[FILE]"),
    QStringLiteral("Print the value every key of a settings file loads to."),
    QStringLiteral("One line a key, in the order a save writes them: section, key, value, and where the\n"
                   "file's value does not count, why (missing, not a number, ...); the value is then the\n"
                   "state the window keeps, at start its design state. Without FILE: mp3player.ini beside\n"
                   "this tool when that folder is writable, else ~/.config/Sonalo/mp3player.ini."),
    false,
    settingsShow,
}};

} // namespace
