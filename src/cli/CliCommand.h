#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <vector>

// The subcommands of sonalo-cli. Each lives in a cmd_*.cpp file of this folder and registers
// itself with a static CliRegistration; main() dispatches on the words of the command line.
struct CliCommand
{
    QStringList path;          // e.g. {"playlist", "cat"}
    QString usage;             // arguments after the path
    QString summary;           // one line for the listings
    QString help;              // further lines for "--help"
    bool needsGui = false;     // draws pictures: needs a QGuiApplication
    std::function<int(const QStringList &args)> run;
};

std::vector<CliCommand> &cliCommands();

struct CliRegistration
{
    explicit CliRegistration(CliCommand command) { cliCommands().push_back(std::move(command)); }
};

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

QTextStream &cliOut();
QTextStream &cliErr();

// A usage error: prints the message and the command's usage line, returns kExitUsage.
int usageError(const QString &message);

// One field as "playlist cat" prints it: backslash, tab, CR and LF written as \\, \t, \r, \n.
QString escapeField(const QString &field);

struct TSongRecord;
// One song as a line of eight escaped fields separated by tabs.
void printSong(const TSongRecord &song);

// Simple option scanning: removes "--name VALUE" / "--name=VALUE" from args.
// Returns false when the option is given without a value.
bool takeOption(QStringList &args, const QString &name, QString *value);
bool takeFlag(QStringList &args, const QString &name);
