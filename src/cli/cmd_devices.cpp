#include "cli/CliCommand.h"

#include "playback/AudioDevices.h"

namespace {

int devices(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(QStringLiteral("expected no arguments"));
    const TAudioDevices d = TAudioDevices::Enumerate();
    for (qsizetype i = 0; i < d.names.size(); ++i)
        cliOut() << i << '\t' << d.names[i] << '\n';
    return kExitOk;
}

const CliRegistration devicesCommand{{
    {QStringLiteral("devices")},
    QString(),
    QStringLiteral("List the audio outputs with the index \"play --device\" takes."),
    QStringLiteral("Entry 0 is \"Default\", the sound server's default output; then every audio\n"
                   "output device the system reports."),
    false,
    devices,
}};

} // namespace
