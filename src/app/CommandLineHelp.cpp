#include "app/CommandLineHelp.h"

#include <cstdio>

namespace CommandLineHelp {

QString helpText()
{
    return QStringLiteral(
        "Usage: sonalo [FILE | FOLDER | PLAYLIST]...\n"
        "       sonalo --enqueue FILE | FOLDER | PLAYLIST...\n"
        "\n"
        "ORV Media Sonalo, an audio player built around a playlist.\n"
        "\n"
        "Audio files, folders (with their sub-folders) and playlists (.slp, .m3u, .m3u8, .pls,\n"
        "and .xspf) are opened in order; relative names count from the working folder. While\n"
        "Sonalo runs, a start with arguments hands them to the running window and ends.\n"
        "Without arguments the .slp playlists beside the program are offered.\n"
        "\n"
        "Options (as the only argument):\n"
        "  -h, --help     print this help and exit\n"
        "  --version      print the version and exit\n"
        "\n"
        "  --enqueue      (as the first argument) the songs the other arguments add also\n"
        "                 line up in the queue, the running window's when Sonalo runs\n"
        "\n"
        "Environment:\n"
        "  SONALO_AUDIO_SINK  a GStreamer launch description to play into instead of the\n"
        "                     audio output, e.g. \"fakesink sync=true\"\n"
        "\n"
        "Exit status:\n"
        "  0  the window was closed, the arguments were handed to the running window, or\n"
        "     help or the version was printed\n");
}

std::optional<int> answer(const QStringList &arguments, const QString &version)
{
    if (arguments.size() != 1)
        return std::nullopt;
    QString text;
    if (arguments[0] == QLatin1String("--help") || arguments[0] == QLatin1String("-h"))
        text = helpText();
    else if (arguments[0] == QLatin1String("--version"))
        text = QStringLiteral("sonalo %1\n").arg(version);
    else
        return std::nullopt;
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace CommandLineHelp
