#include "cli/CliCommand.h"

#include "core/Errors.h"
#include "core/SongRecord.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <memory>

std::vector<CliCommand> &cliCommands()
{
    static std::vector<CliCommand> commands;
    return commands;
}

QTextStream &cliOut()
{
    static QTextStream out(stdout);
    return out;
}

QTextStream &cliErr()
{
    static QTextStream err(stderr);
    return err;
}

namespace {

const CliCommand *g_current = nullptr;

void printListing(const QStringList &prefix)
{
    QTextStream &out = cliOut();
    out << "Usage: sonalo-cli " << (prefix.isEmpty() ? QStringLiteral("COMMAND") : prefix.join(QLatin1Char(' ')) + QStringLiteral(" COMMAND"))
        << " [ARGS...]\n\nCommands:\n";
    for (const CliCommand &c : cliCommands()) {
        if (c.path.mid(0, prefix.size()) != prefix)
            continue;
        const QString name = c.path.join(QLatin1Char(' '));
        out << "  " << name.leftJustified(20) << ' ' << c.summary << '\n';
    }
    out << "\nEach command takes --help.\n";
    out.flush();
}

void printHelp(const CliCommand &c)
{
    QTextStream &out = cliOut();
    out << "Usage: sonalo-cli " << c.path.join(QLatin1Char(' ')) << ' ' << c.usage << "\n\n" << c.summary << '\n';
    if (!c.help.isEmpty())
        out << '\n' << c.help << '\n';
    out.flush();
}

} // namespace

int usageError(const QString &message)
{
    cliErr() << "sonalo-cli: " << message << '\n';
    if (g_current)
        cliErr() << "Usage: sonalo-cli " << g_current->path.join(QLatin1Char(' ')) << ' ' << g_current->usage << '\n';
    cliErr().flush();
    return kExitUsage;
}

QString escapeField(const QString &field)
{
    auto special = [](QChar c) {
        const char16_t u = c.unicode();
        return u == '\\' || u == '\t' || u == '\r' || u == '\n';
    };
    // Most fields hold none of the four: the field itself, without a copy.
    const auto first = std::find_if(field.cbegin(), field.cend(), special);
    if (first == field.cend())
        return field;
    QString out;
    out.reserve(field.size() + 8);
    auto plain = field.cbegin();
    for (auto at = first; at != field.cend(); ++at) {
        if (!special(*at))
            continue;
        out.append(QStringView(plain, at));
        switch (at->unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default: out += QLatin1String("\\n"); break;
        }
        plain = at + 1;
    }
    out.append(QStringView(plain, field.cend()));
    return out;
}

void printSong(const TSongRecord &r)
{
    QTextStream &out = cliOut();
    for (int i = 0; i < TSongRecord::kFieldCount; ++i) {
        if (i > 0)
            out << '\t';
        out << escapeField(r.field(i));
    }
    out << '\n';
}

bool takeOption(QStringList &args, const QString &name, QString *value)
{
    const QString prefix = name + QLatin1Char('=');
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--"))
            break;
        if (args[i] == name) {
            if (i + 1 >= args.size())
                return false;
            *value = args[i + 1];
            args.remove(i, 2);
            return true;
        }
        if (args[i].startsWith(prefix)) {
            *value = args[i].mid(prefix.size());
            args.remove(i);
            return true;
        }
    }
    return true;
}

bool takeFlag(QStringList &args, const QString &name)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--"))
            break;
        if (args[i] == name) {
            args.remove(i);
            return true;
        }
    }
    return false;
}

int main(int argc, char **argv)
{
    // Decode the arguments the way Qt does before any application object exists.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);

    // Longest registered path that the words start with.
    const CliCommand *command = nullptr;
    for (const CliCommand &c : cliCommands())
        if (words.mid(0, c.path.size()) == c.path && (!command || c.path.size() > command->path.size()))
            command = &c;

    if (!command) {
        QStringList prefix;
        for (const QString &w : words) {
            if (w.startsWith(QLatin1Char('-')))
                break;
            prefix << w;
        }
        const bool help = words.contains(QStringLiteral("--help")) || words.contains(QStringLiteral("-h"));
        // A known group ("playlist") without its subcommand lists that group.
        bool groupKnown = prefix.isEmpty();
        for (const CliCommand &c : cliCommands())
            if (!prefix.isEmpty() && c.path.mid(0, prefix.size()) == prefix)
                groupKnown = true;
        if (groupKnown) {
            printListing(prefix);
            return help ? kExitOk : kExitUsage;
        }
        cliErr() << "sonalo-cli: unknown command \"" << prefix.join(QLatin1Char(' ')) << "\"; see sonalo-cli --help\n";
        cliErr().flush();
        return kExitUsage;
    }
    g_current = command;
    QStringList args = words.mid(command->path.size());
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        printHelp(*command);
        return kExitOk;
    }

    std::unique_ptr<QCoreApplication> app;
    if (command->needsGui) {
        // Pictures are drawn off screen; no display is needed.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    int rc = kExitFailure;
    try {
        rc = command->run(args);
    } catch (const SonaloError &e) {
        cliOut().flush();
        cliErr() << "sonalo-cli: " << e.message() << '\n';
        rc = kExitFailure;
    }
    cliOut().flush();
    cliErr().flush();
    return rc;
}
