#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// `sonalo --help` and `sonalo --version`, answered before any window or display is needed.
// Only a sole argument counts, so that a file of that name among others still opens. The
// manual page sonalo(1) says the same; a test keeps the two in step.
namespace CommandLineHelp {

// The text `sonalo --help` prints.
QString helpText();

// The exit code when `arguments` (without the program name) ask for help or the version,
// after printing the answer to stdout; nothing when the start is an ordinary one.
std::optional<int> answer(const QStringList &arguments, const QString &version);

} // namespace CommandLineHelp
