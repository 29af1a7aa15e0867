// The hand-over's socket transport inside one test process: the sender runs on a thread of
// its own (it blocks, as a starting copy does), the receiver on the event loop.
#include "app/InstanceMessenger.h"
#include "app/TOneInstanceCheck.h"
#include "core/Errors.h"

#include "QtTestApp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <future>
#include <memory>
#include <thread>

#include <gtest/gtest.h>
#include "support/TestSongs.h"

using namespace InstanceProtocol;
using Outcome = InstanceMessenger::Outcome;

namespace {

InstanceMessenger::Limits fast()
{
    InstanceMessenger::Limits l;
    l.connectMs = 300;
    l.replyMs = 1500;
    l.requestMs = 300;
    return l;
}

// The blocking side on a thread of its own; a QThread, so its sockets may use timers.
template <typename F>
auto onThread(F fn) -> std::future<decltype(fn())>
{
    auto promise = std::make_shared<std::promise<decltype(fn())>>();
    auto future = promise->get_future();
    QThread *thread = QThread::create([promise, fn] { promise->set_value(fn()); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    return future;
}

// Runs the event loop until the future is ready (bounded), and notes the longest gap between
// two turns of a 5 ms timer: how long the window thread was kept from its events.
template <typename T>
T waitServing(std::future<T> &future, qint64 *longestStallMs = nullptr, int boundMs = 10000)
{
    QElapsedTimer total, sinceTick;
    total.start();
    sinceTick.start();
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.restart());
    });
    tick.start(5);
    while (future.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready && total.elapsed() < boundMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (longestStallMs)
        *longestStallMs = longest;
    EXPECT_EQ(future.wait_for(std::chrono::milliseconds(0)), std::future_status::ready) << "sender never ended";
    return future.get();
}

// Spins the event loop for a while.
void serveFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class InstanceMessengerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qtTestApp();
        ASSERT_TRUE(runtime.isValid());
        folder = runtime.path() + u8("/channel");
    }

    std::future<Outcome> sendAsync(InstanceMessage message)
    {
        return onThread([this, message] {
            InstanceMessenger sender(folder, fast());
            return sender.forward(message);
        });
    }

    QTemporaryDir runtime;
    QString folder;
};

} // namespace

TEST_F(InstanceMessengerTest, ReplyFollowsTheHookAndNoCopyIsNoCopy)
{
    InstanceMessenger idle(folder, fast());
    auto none = sendAsync({1, u8("\"/p\" \"/a.mp3\"")});
    EXPECT_EQ(waitServing(none), Outcome::NoCopy);

    InstanceMessenger receiver(folder, fast());
    ASSERT_TRUE(receiver.listen());
    // Without a hook (before the component exists) the hand-over is declined.
    auto declined = sendAsync({1, u8("\"/p\" \"/a.mp3\"")});
    EXPECT_EQ(waitServing(declined), Outcome::Declined);

    quint32 pid = 0;
    QString line;
    bool allow = false;
    receiver.setReceiveHook([&](quint32 p, const QString &l) {
        pid = p;
        line = l;
        return allow;
    });
    auto taken = sendAsync({4242, u8("\"/p\" \"/Lied 🎵.mp3\"")});
    EXPECT_EQ(waitServing(taken), Outcome::Taken);
    EXPECT_EQ(pid, 4242u);
    EXPECT_EQ(line, u8("\"/p\" \"/Lied 🎵.mp3\""));
    allow = true;
    auto refused = sendAsync({1, u8("\"/p\" \"/a.mp3\"")});
    EXPECT_EQ(waitServing(refused), Outcome::Declined);
}

TEST_F(InstanceMessengerTest, StaleAndStalledCopiesDoNotHoldTheSender)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    // A socket nobody listens on any more (a crashed copy), and one that never answers.
    auto rawSocket = [&](const char *name, bool listening) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + u8(name));
        std::memcpy(addr.sun_path, path.constData(), size_t(path.size()) + 1);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
        if (listening) {
            EXPECT_EQ(::listen(fd, 4), 0);
        }
        return fd;
    };
    const int stale = rawSocket("1.socket", false);
    ::close(stale);
    auto none = sendAsync({1, u8("\"/p\" \"/a.mp3\"")});
    EXPECT_EQ(waitServing(none), Outcome::NoCopy);
    EXPECT_FALSE(QFile::exists(folder + u8("/1.socket"))) << "a dead copy's socket is cleared away";

    const int stalled = rawSocket("2.socket", true);
    QElapsedTimer t;
    t.start();
    auto noAnswer = sendAsync({1, u8("\"/p\" \"/a.mp3\"")});
    EXPECT_EQ(waitServing(noAnswer), Outcome::NoAnswer);
    EXPECT_LT(t.elapsed(), 5000);
    ::close(stalled);
}

TEST_F(InstanceMessengerTest, HostileClientsNeitherCrashNorBlockTheNextHandOver)
{
    // A receiver that waited for a request would stall the events for a whole second.
    InstanceMessenger::Limits limits = fast();
    limits.requestMs = 1000;
    InstanceMessenger receiver(folder, limits);
    ASSERT_TRUE(receiver.listen());
    int handedOver = 0;
    receiver.setReceiveHook([&](quint32, const QString &) {
        ++handedOver;
        return false;
    });
    int dropped = 0;
    QObject::connect(&receiver, &InstanceMessenger::connectionDropped, [&] { ++dropped; });

    auto header = [](quint32 length) {
        QByteArray h("SNL1\1\0\0\0", 8);
        char le[4];
        qToLittleEndian(length, le);
        return h + QByteArray(le, 4);
    };
    const QByteArray good = *encodeRequest({1, u8("\"/p\" \"/a.mp3\"")});
    struct Case
    {
        const char *name;
        QByteArray bytes;
        int connections;
    };
    const Case cases[] = {
        {"garbage", QByteArray("GET / HTTP/1.1\r\n\r\n"), 1},
        {"length of 4 GB", header(0xFFFFFFFFu), 1},
        {"truncated body", good.left(good.size() - 3), 1},
        {"connects and sends nothing", {}, 1},
        {"a hundred silent connections at once", {}, 100},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int before = dropped;
        auto hostile = onThread([&] {
            std::vector<std::unique_ptr<QLocalSocket>> sockets;
            for (int i = 0; i < c.connections; ++i) {
                auto s = std::make_unique<QLocalSocket>();
                s->connectToServer(receiver.socketPath());
                if (!s->waitForConnected(1000))
                    return false;
                s->write(c.bytes);
                s->waitForBytesWritten(1000);
                sockets.push_back(std::move(s));
            }
            // Held open until the receiver gives up on them.
            for (auto &s : sockets)
                if (s->state() == QLocalSocket::ConnectedState)
                    s->waitForDisconnected(3000);
            return true;
        });
        qint64 stall = 0;
        EXPECT_TRUE(waitServing(hostile, &stall));
        serveFor(50);
        EXPECT_EQ(dropped - before, c.connections);
        EXPECT_EQ(receiver.openConnections(), 0);
        // The window thread went on with its events meanwhile.
        EXPECT_LT(stall, 500) << "longest stall " << stall << " ms";

        auto real = sendAsync({1, u8("\"/p\" \"/a.mp3\"")});
        EXPECT_EQ(waitServing(real, &stall), Outcome::Taken);
        EXPECT_LT(stall, 500);
    }
    EXPECT_EQ(handedOver, int(std::size(cases)));
}

TEST_F(InstanceMessengerTest, OnlyTheSameUserReachesTheChannel)
{
    InstanceMessenger receiver(folder, fast());
    ASSERT_TRUE(receiver.listen());
    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(QFile::encodeName(receiver.socketPath()).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0077, 0u) << "socket mode " << std::oct << (st.st_mode & 0777);
    EXPECT_EQ(st.st_uid, geteuid());
    // A folder someone else made group-writable is closed again before use.
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0777), 0);
    InstanceMessenger second(folder, fast());
    ASSERT_TRUE(second.listen());
    ASSERT_EQ(stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // The peer check itself, on a socket another user connects to.
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(InstanceMessenger::peerIsOwnUser(pair[0]));
    ::close(pair[0]);
    ::close(pair[1]);
    if (geteuid() != 0)
        GTEST_SKIP() << "another user's connection needs root to set up";
    QTemporaryDir open;
    ASSERT_EQ(chmod(QFile::encodeName(open.path()).constData(), 0755), 0);
    const QByteArray path = QFile::encodeName(open.path() + u8("/peer"));
    const int server = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()) + 1);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    ASSERT_EQ(chmod(path.constData(), 0777), 0);
    ASSERT_EQ(::listen(server, 1), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        _exit(connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 ? 0 : 3);
    }
    const int accepted = accept(server, nullptr, nullptr);
    ASSERT_GE(accepted, 0);
    EXPECT_FALSE(InstanceMessenger::peerIsOwnUser(accepted));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ::close(accepted);
    ::close(server);
}

TEST(TOneInstanceCheckTest, OneObjectParamsForegroundAndLifetime)
{
    qtTestApp();
    // Outside the component's lifetime a hand-over is declined.
    EXPECT_TRUE(TOneInstanceCheck::received(1, u8("\"/p\" \"/a.mp3\"")));
    {
        TOneInstanceCheck check;
        try {
            TOneInstanceCheck second;
            ADD_FAILURE() << "a second object was made";
        } catch (const SonaloError &e) {
            EXPECT_EQ(e.message(), QString::fromUtf8("Nur ein TOneInstanceCheck-Objekt möglich"));
        }
        EXPECT_EQ(TOneInstanceCheck::instance(), &check);
        // No handler: taken, nothing else.
        EXPECT_FALSE(TOneInstanceCheck::received(1, u8("\"/p\" \"/a.mp3\"")));

        QWidget window;
        window.show();
        window.showMinimized();
        check.setMainWindow(&window);
        QStringList got;
        quint32 pid = 0;
        bool decline = false;
        check.OnNewInstance = [&](TOneInstanceCheck *sender, quint32 p, const QStringList &params, bool &allow) {
            EXPECT_EQ(sender, &check);
            EXPECT_FALSE(allow);
            pid = p;
            got = params;
            allow = decline;
        };
        EXPECT_FALSE(TOneInstanceCheck::received(77, u8("/p/sonalo \"/a.mp3\" loose \"/b.slp\" \"cut")));
        EXPECT_EQ(pid, 77u);
        EXPECT_EQ(got, QStringList({u8("/a.mp3"), u8("/b.slp")}));
        // Taken: the window the user works in comes back up.
        EXPECT_FALSE(window.isMinimized());
        window.showMinimized();
        decline = true;
        EXPECT_TRUE(TOneInstanceCheck::received(1, u8("\"/p\" \"/a.mp3\"")));
        EXPECT_TRUE(window.isMinimized()) << "a declined hand-over leaves the window alone";
    }
    EXPECT_EQ(TOneInstanceCheck::instance(), nullptr);
    EXPECT_TRUE(TOneInstanceCheck::received(1, u8("\"/p\" \"/a.mp3\"")));
    TOneInstanceCheck again; // the place is free again
}
