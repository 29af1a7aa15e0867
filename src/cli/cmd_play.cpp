#include "cli/CliCommand.h"

#include "playback/AudioDevices.h"
#include "playback/AudioPlay.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

// Seconds with tenths, from 100-ns units.
QString seconds(qint64 units)
{
    return QString::number(double(units) / 1e7, 'f', 1);
}

void printFailure(const EcbAudioPlayError &e)
{
    // The message's carriage return separates the call from its description.
    cliErr() << "sonalo-cli: " << QString(e.message()).replace(QLatin1Char('\r'), QLatin1Char('\n'))
             << " (error code " << (e.ErrorCode() < 0 ? QString::number(quint32(e.ErrorCode()), 16).toUpper() : QString::number(e.ErrorCode())) << ")\n";
    cliErr().flush();
}

int play(const QStringList &argsIn)
{
    QStringList args = argsIn;
    QString device, position, sink, volumeText, balanceText;
    if (!takeOption(args, QStringLiteral("--device"), &device) || !takeOption(args, QStringLiteral("--position"), &position)
        || !takeOption(args, QStringLiteral("--sink"), &sink) || !takeOption(args, QStringLiteral("--volume"), &volumeText)
        || !takeOption(args, QStringLiteral("--balance"), &balanceText))
        return usageError(QStringLiteral("option without a value"));
    const bool loop = takeFlag(args, QStringLiteral("--loop"));
    args.removeAll(QStringLiteral("--"));
    if (args.size() != 1)
        return usageError(QStringLiteral("expected one FILE"));
    bool ok = true;
    const int deviceIndex = device.isEmpty() ? 0 : device.toInt(&ok);
    if (!ok)
        return usageError(QStringLiteral("--device needs a number"));
    const double startSeconds = position.isEmpty() ? 0.0 : position.toDouble(&ok);
    if (!ok || startSeconds < 0)
        return usageError(QStringLiteral("--position needs a number of seconds"));
    // Out-of-range levels go to the player, which refuses them with its own message.
    const int volume = volumeText.isEmpty() ? 0 : volumeText.toInt(&ok);
    if (!ok)
        return usageError(QStringLiteral("--volume needs a whole number"));
    const int balance = balanceText.isEmpty() ? 0 : balanceText.toInt(&ok);
    if (!ok)
        return usageError(QStringLiteral("--balance needs a whole number"));

    TAudioDevices devices = TAudioDevices::Enumerate();
    if (!sink.isEmpty())
        devices.sinkOverride = sink;

    QEventLoop events;
    bool failed = false;
    TcbAudioPlay::SetEventErrorHandler([&](const EcbAudioPlayError &e) {
        printFailure(e);
        failed = true;
        events.quit();
    });
    QTextStream &out = cliOut();
    try {
        // The song's end quits the loop; the player is destroyed after it returns.
        TcbAudioPlay player(devices, args[0], deviceIndex, [&events] { events.quit(); });
        player.SetLoop(loop);
        player.OnComplete = [&out](IAudioPlayer &) {
            out << "restart\n";
            out.flush();
        };
        if (startSeconds > 0)
            player.SetPosition(qint64(startSeconds * 1e7), kSeekAbsolute);
        if (volume != 0)
            player.SetVolume(volume);
        if (balance != 0)
            player.SetBalance(balance);
        player.Play();
        auto show = [&] {
            out << seconds(player.GetPosition()) << " / " << seconds(player.Duration()) << '\n';
            out.flush();
        };
        show();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, show);
        tick.start(1000);
        events.exec();
        if (!failed)
            show();
    } catch (const EcbAudioPlayError &e) {
        printFailure(e);
        return kExitFailure;
    }
    return failed ? kExitFailure : kExitOk;
}

const CliRegistration playCommand{{
    {QStringLiteral("play")},
    QStringLiteral("[--device N] [--position SECONDS] [--volume V] [--balance B] [--loop] [--sink DESCRIPTION] FILE"),
    QStringLiteral("Play FILE to an audio output; print position and duration (seconds) once a second."),
    QStringLiteral("--device N picks entry N of \"sonalo-cli devices\" (0, the default output, when\n"
                   "missing or outside the list). --position starts there. --loop restarts the song at its\n"
                   "end (printing \"restart\") until interrupted. --volume sets the level in hundredths of a decibel\n"
                   "(0 full ... -10000 silence), --balance lowers the other channel (-10000 left only ...\n"
                   "10000 right only). --sink plays into a GStreamer launch\n"
                   "description instead of a device (\"fakesink sync=true\"); the environment variable\n"
                   "SONALO_AUDIO_SINK does the same. Exits 0 at the end of the song, 1 with the\n"
                   "player's message when the file cannot be played."),
    false,
    play,
}};

} // namespace
