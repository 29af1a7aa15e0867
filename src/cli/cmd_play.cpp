#include "cli/CliCommand.h"

#include "playback/AudioDevices.h"
#include "playback/AudioPlay.h"
#include "playback/PlaybackEngine.h"

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

// A failure the player reports while the loop runs: printed, noted in failed, the loop ends.
void stopOnPlayError(QEventLoop &events, bool &failed)
{
    TcbAudioPlay::SetEventErrorHandler([&events, &failed](const EcbAudioPlayError &e) {
        printFailure(e);
        failed = true;
        events.quit();
    });
}

// Several files one after the other through the playback engine: gapless (the next file is
// handed over ahead) or, with separate, one pipeline per file. Prints each file as it starts.
int playInOrder(const TAudioDevices &devices, int deviceIndex, const QStringList &files, bool separate)
{
    PlaybackEngine engine(devices);
    engine.setGapless(!separate);
    QEventLoop events;
    bool failed = false;
    stopOnPlayError(events, failed);
    qsizetype next = 0;
    std::unique_ptr<IAudioPlayer> player;
    const AudioPlayerFactory factory = engine.Factory();
    std::function<void()> startNext = [&] {
        player.reset();
        if (next >= files.size())
            return events.quit();
        const QString file = files[next++];
        try {
            // Called by the player at its end, which the call may destroy (as the window does).
            player = factory(file, deviceIndex, [&] { startNext(); });
            player->Play();
            cliOut() << "start " << file << '\n';
            cliOut().flush();
        } catch (const EcbAudioPlayError &e) {
            printFailure(e);
            failed = true;
            events.quit();
        }
    };
    engine.setNextSongSource([&] { return next < files.size() ? files[next] : QString(); });
    startNext();
    if (player)
        events.exec();
    player.reset();
    return failed ? kExitFailure : kExitOk;
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
    const bool separate = takeFlag(args, QStringLiteral("--separate"));
    args.removeAll(QStringLiteral("--"));
    if (args.isEmpty())
        return usageError(QStringLiteral("expected a FILE"));
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
    if (args.size() > 1) {
        if (loop || !position.isEmpty() || volume != 0 || balance != 0)
            return usageError(QStringLiteral("several files take only --device, --sink and --separate"));
        return playInOrder(devices, deviceIndex, args, separate);
    }

    QEventLoop events;
    bool failed = false;
    stopOnPlayError(events, failed);
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
    QStringLiteral("[--device N] [--position SECONDS] [--volume V] [--balance B] [--loop] [--sink DESCRIPTION] FILE\n"
                   "[--device N] [--sink DESCRIPTION] [--separate] FILE FILE..."),
    QStringLiteral("Play FILE to an audio output; print position and duration (seconds) once a second.\n"
                   "Several files play one after the other without a gap (\"start FILE\" as each begins)."),
    QStringLiteral("--device N picks entry N of \"sonalo-cli devices\" (0, the default output, when\n"
                   "missing or outside the list). --position starts there. --loop restarts the song at its\n"
                   "end (printing \"restart\") until interrupted. --volume sets the level in hundredths of a decibel\n"
                   "(0 full ... -10000 silence), --balance lowers the other channel (-10000 left only ...\n"
                   "10000 right only). --sink plays into a GStreamer launch\n"
                   "description instead of a device (\"fakesink sync=true\"); the environment variable\n"
                   "SONALO_AUDIO_SINK does the same. Exits 0 at the end of the song, 1 with the\n"
                   "player's message when the file cannot be played. With several files the next one is\n"
                   "handed to the one long-lived pipeline ahead of the end, so they join without a gap;\n"
                   "--separate plays each in a pipeline of its own, one after the other."),
    false,
    play,
}};

} // namespace
