#include "shell/MprisService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct FakeTarget : MprisTarget
{
    QStringList calls;
    bool playing = false;
    QString title = QStringLiteral("Song");
    void mprisNext() override { calls << QStringLiteral("next"); }
    void mprisPrevious() override { calls << QStringLiteral("previous"); }
    void mprisPlayPause() override
    {
        calls << QStringLiteral("playpause");
        playing = !playing;
    }
    void mprisPlay() override { calls << QStringLiteral("play"); }
    void mprisPause() override { calls << QStringLiteral("pause"); }
    void mprisRaise() override { calls << QStringLiteral("raise"); }
    QString mprisPlaybackStatus() const override { return playing ? QStringLiteral("Playing") : QStringLiteral("Paused"); }
    QVariantMap mprisMetadata() const override { return {{QStringLiteral("xesam:title"), title}}; }
};

// Runs a command from outside the process while this one serves D-Bus.
QString runOutside(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("dbus-send"), args);
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        p.waitForFinished(10);
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList sendArgs(const QString &method)
{
    return {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.mpris.MediaPlayer2.sonalo"),
            QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("org.mpris.MediaPlayer2.Player.") + method};
}

class MprisTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "no session bus (run under dbus-run-session)";
        static int argc = 1;
        static char arg0[] = "shell_tests";
        static char *argv[] = {arg0, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
};

} // namespace

TEST_F(MprisTest, MethodsReachThePlayerAndStatusFollows)
{
    FakeTarget target;
    MprisService service(target);
    ASSERT_TRUE(service.registerOnSessionBus());

    for (const char *m : {"Next", "Previous", "PlayPause", "Play", "Pause", "Stop"})
        runOutside(sendArgs(QLatin1String(m)));
    EXPECT_EQ(target.calls, (QStringList{QStringLiteral("next"), QStringLiteral("previous"), QStringLiteral("playpause"),
                                         QStringLiteral("play"), QStringLiteral("pause"), QStringLiteral("pause")}));

    const QStringList getStatus = {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                   QStringLiteral("--dest=org.mpris.MediaPlayer2.sonalo"), QStringLiteral("/org/mpris/MediaPlayer2"),
                                   QStringLiteral("org.freedesktop.DBus.Properties.Get"), QStringLiteral("string:org.mpris.MediaPlayer2.Player"),
                                   QStringLiteral("string:PlaybackStatus")};
    EXPECT_TRUE(runOutside(getStatus).contains(QStringLiteral("\"Playing\"")));
    target.playing = false;
    EXPECT_TRUE(runOutside(getStatus).contains(QStringLiteral("\"Paused\"")));
}

class ChangeListener : public QObject
{
    Q_OBJECT
public:
    QList<QVariantMap> changes;
public Q_SLOTS:
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        if (interface == QLatin1String("org.mpris.MediaPlayer2.Player"))
            changes << changed;
    }
};

TEST_F(MprisTest, PropertiesChangedIsSignalledOnlyForRealChanges)
{
    FakeTarget target;
    MprisService service(target);
    ASSERT_TRUE(service.registerOnSessionBus());
    ChangeListener listener;
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("listener"));
    ASSERT_TRUE(other.connect(QString(), QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("org.freedesktop.DBus.Properties"),
                              QStringLiteral("PropertiesChanged"), &listener,
                              SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
    auto spin = [] {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    service.playbackChanged(); // nothing changed yet
    target.playing = true;
    service.playbackChanged();
    target.title = QStringLiteral("Other");
    service.playbackChanged();
    spin();
    ASSERT_EQ(listener.changes.size(), 2);
    EXPECT_EQ(listener.changes[0].value(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));
    EXPECT_FALSE(listener.changes[1].contains(QStringLiteral("PlaybackStatus")));
    EXPECT_TRUE(listener.changes[1].contains(QStringLiteral("Metadata")));
    QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
}

TEST(MprisWithoutBus, RegistrationFailsQuietly)
{
    // A service that never registered sends nothing and can be destroyed.
    struct Quiet : MprisTarget
    {
        void mprisNext() override {}
        void mprisPrevious() override {}
        void mprisPlayPause() override {}
        void mprisPlay() override {}
        void mprisPause() override {}
        void mprisRaise() override {}
        QString mprisPlaybackStatus() const override { return QStringLiteral("Stopped"); }
        QVariantMap mprisMetadata() const override { return {}; }
    } target;
    MprisService service(target);
    EXPECT_FALSE(service.isRegistered());
    service.playbackChanged();
}

#include "MprisServiceTest.moc"
