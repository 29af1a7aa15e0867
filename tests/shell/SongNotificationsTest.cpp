// Song notifications against a stand-in notification service on the test's private session
// bus, reached through the bus daemon on a connection of its own, as a desktop's would be.
#include "shell/SongNotifications.h"

#include "TempDir.h"
#include "playback/DisplayOptionsModel.h"
#include "playback/PlaybackControl.h"
#include "support/FakeAudioPlayer.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QStringList>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace {

QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "shell-notification-tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    return *QCoreApplication::instance();
}

// Records every Notify call and answers as a notification daemon does: a new id for
// replaces_id 0, the same id when it replaces one.
class StandInNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call
    {
        quint32 replaces;
        QString summary, body;
        quint32 returned;
    };
    QList<Call> calls;
    quint32 lastId = 0;

public Q_SLOTS:
    quint32 Notify(const QString &, quint32 replacesId, const QString &, const QString &summary,
                   const QString &body, const QStringList &, const QVariantMap &, int)
    {
        const quint32 id = replacesId ? replacesId : ++lastId;
        calls.append({replacesId, summary, body, id});
        return id;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
};

class SongNotificationsTest : public ::testing::Test
{
protected:
    SongNotificationsTest() : lists(dir.path()), service(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in")))
    {
        app();
        control = std::make_unique<PlaybackControl>(lists, script.factory(), options, lang);
        options.setRandomOrder(false);
        for (int i = 1; i <= 6; ++i) {
            TSongRecord r;
            r.Artist = QStringLiteral("Artist %1").arg(i);
            r.Title = QStringLiteral("Song %1").arg(i);
            r.Path = dir.write(QStringLiteral("%1.mp3").arg(i), QByteArray());
            lists.append(r);
        }
    }
    void SetUp() override
    {
        ASSERT_TRUE(service.isConnected()) << "needs a session bus (dbus-run-session)";
        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &daemon,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }
    void TearDown() override
    {
        service.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        service.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        QDBusConnection::disconnectFromBus(QStringLiteral("stand-in"));
    }
    // Lets the calls and replies cross the bus until `done` holds or 5 s pass.
    bool spinUntil(const std::function<bool()> &done)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    void settle()
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    TempDir dir;
    SongLists lists;
    FakeAudioScript script;
    DisplayOptionsModel options;
    LanguageCode lang;
    std::unique_ptr<PlaybackControl> control;
    StandInNotifications daemon;
    QDBusConnection service;
};

} // namespace

TEST_F(SongNotificationsTest, OffByDefault)
{
    SongNotifications notifications(*control);
    EXPECT_FALSE(notifications.enabled());
    control->weiterClick();
    settle();
    EXPECT_TRUE(daemon.calls.isEmpty());
}

TEST_F(SongNotificationsTest, FiveQuickSkipsLeaveOneNotificationShowingTheLastSong)
{
    SongNotifications notifications(*control);
    notifications.setEnabled(true);
    control->weiterClick();
    ASSERT_TRUE(spinUntil([&] { return notifications.notificationId() != 0; }));
    ASSERT_EQ(daemon.calls.size(), 1);
    EXPECT_EQ(daemon.calls[0].replaces, 0u);
    const QString first = control->currentSongFields().title;
    EXPECT_TRUE(first.startsWith(QStringLiteral("Song ")));
    EXPECT_EQ(daemon.calls[0].summary, first);
    EXPECT_EQ(daemon.calls[0].body, QStringLiteral("Artist ") + first.mid(5));

    for (int i = 0; i < 5; ++i) // faster than the bus answers
        control->weiterClick();
    const QString fifth = control->currentSongFields().title;
    ASSERT_NE(fifth, first);
    ASSERT_TRUE(spinUntil([&] { return daemon.calls.last().summary == fifth; }));
    settle();
    EXPECT_EQ(daemon.lastId, 1u) << "a second notification was opened";
    for (const auto &c : daemon.calls)
        EXPECT_EQ(c.returned, 1u);
    EXPECT_LE(daemon.calls.size(), 3) << "every skip was sent";
    EXPECT_EQ(daemon.calls.last().replaces, 1u);

    // Pausing and playing the same song again is no new song.
    const qsizetype before = daemon.calls.size();
    control->BtPlayClick();
    control->BtPlayClick();
    settle();
    EXPECT_EQ(daemon.calls.size(), before);
}

TEST_F(SongNotificationsTest, WithoutAServiceTheSongsPlayOn)
{
    ASSERT_TRUE(service.unregisterService(QStringLiteral("org.freedesktop.Notifications")));
    SongNotifications notifications(*control);
    notifications.setEnabled(true);
    control->weiterClick();
    settle();
    control->weiterClick();
    settle();
    EXPECT_TRUE(control->IsPlaying());
    EXPECT_EQ(notifications.notificationId(), 0u);
    EXPECT_TRUE(daemon.calls.isEmpty());
}

#include "SongNotificationsTest.moc"
