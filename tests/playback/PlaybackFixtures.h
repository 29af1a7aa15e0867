#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

// One QCoreApplication for a whole test binary: the player delivers its bus messages
// through the application's event loop.
inline QCoreApplication &playbackTestApp()
{
    static int argc = 1;
    static char name[] = "sonalo-playback-test";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = new QCoreApplication(argc, argv); // kept for the whole run
    return *app;
}

// Runs the event loop until pred holds or ms pass; returns pred's last value.
inline bool waitFor(const std::function<bool()> &pred, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Runs the event loop for ms.
inline void pumpEvents(int ms)
{
    waitFor([] { return false; }, ms);
}

// Short sine tones generated once per test binary (ffmpeg and lame; scripts/setup installs
// them). Each file is kSeconds long.
class AudioFixtures
{
public:
    static constexpr double kSeconds = 0.6;

    static AudioFixtures &get()
    {
        static AudioFixtures *f = new AudioFixtures; // kept for the whole run
        return *f;
    }

    QString path(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }
    const QString &failure() const { return m_failure; }

private:
    AudioFixtures()
    {
        const QString d = QString::number(kSeconds);
        const QString tone = QStringLiteral("sine=frequency=440:duration=%1:sample_rate=44100").arg(d);
        const QString video = QStringLiteral("testsrc=duration=%1:size=64x48:rate=10").arg(d);
        auto ff = [&](const QStringList &args) {
            if (!m_failure.isEmpty())
                return;
            QProcess p;
            p.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-nostdin"), QStringLiteral("-hide_banner"),
                                                          QStringLiteral("-loglevel"), QStringLiteral("error"),
                                                          QStringLiteral("-y")} + args);
            if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
                m_failure = QStringLiteral("ffmpeg failed: ") + args.join(QLatin1Char(' ')) + QLatin1Char(' ')
                            + QString::fromUtf8(p.readAllStandardError());
        };
        const QString lavfi = QStringLiteral("lavfi");
        const QString wav = path(QStringLiteral("tone.wav"));
        ff({QStringLiteral("-f"), lavfi, QStringLiteral("-i"), tone, QStringLiteral("-ac"), QStringLiteral("2"), wav});
        ff({QStringLiteral("-i"), wav, QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"),
            QStringLiteral("128k"), path(QStringLiteral("tone.mp3"))});
        ff({QStringLiteral("-i"), wav, QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-q:a"),
            QStringLiteral("5"), path(QStringLiteral("vbr.mp3"))});
        ff({QStringLiteral("-i"), wav, QStringLiteral("-c:a"), QStringLiteral("libvorbis"), path(QStringLiteral("tone.ogg"))});
        ff({QStringLiteral("-i"), wav, QStringLiteral("-c:a"), QStringLiteral("wmav2"), QStringLiteral("-b:a"),
            QStringLiteral("64k"), path(QStringLiteral("tone.wma"))});
        ff({QStringLiteral("-f"), lavfi, QStringLiteral("-i"), video, QStringLiteral("-f"), lavfi, QStringLiteral("-i"), tone,
            QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-c:a"), QStringLiteral("libmp3lame"),
            path(QStringLiteral("video.avi"))});
        ff({QStringLiteral("-f"), lavfi, QStringLiteral("-i"), video, QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
            path(QStringLiteral("video_only.avi"))});
    }

    QTemporaryDir m_dir;
    QString m_failure;
};
