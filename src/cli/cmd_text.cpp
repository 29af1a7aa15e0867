#include "cli/CliCommand.h"

#include "core/TextEncoding.h"

namespace {

int textDetect(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("expected one file"));
    cliOut() << DetectTextEncoding(args[0]) << '\n';
    return kExitOk;
}

const CliRegistration detect{{
    {QStringLiteral("text"), QStringLiteral("detect")},
    QStringLiteral("FILE"),
    QStringLiteral("Print the number of the text encoding the file's signature shows."),
    QStringLiteral("0 ANSI (no signature), 65000 UTF-7, 65001 UTF-8, 1200 UTF-16 LE, 1201 UTF-16 BE,\n"
                   "65005 UTF-32 LE, 65006 UTF-32 BE."),
    false,
    textDetect,
}};

} // namespace
