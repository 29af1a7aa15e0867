#include "app/InstanceMessenger.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

using namespace InstanceProtocol;

struct InstanceMessenger::Connection
{
    QLocalSocket *socket = nullptr;
    QTimer *deadline = nullptr; // a child of the socket: both go together
    QByteArray bytes;
    bool answered = false;
};

namespace {

const QString SocketSuffix = QStringLiteral(".socket");

} // namespace

QString InstanceMessenger::runtimeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString InstanceMessenger::channelFolder(const QString &programPath, const QString &runtimeFolder)
{
    if (runtimeFolder.isEmpty())
        return {};
    const QByteArray hash = QCryptographicHash::hash(programPath.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return runtimeFolder + QStringLiteral("/sonalo-") + QString::number(geteuid()) + QLatin1Char('-') +
           QString::fromLatin1(hash);
}

InstanceMessenger::InstanceMessenger(QString folder, Limits limits, QObject *parent)
    : QObject(parent), m_folder(std::move(folder)), m_limits(limits)
{
    m_server.setSocketOptions(m_limits.socketOptions);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceMessenger::acceptConnections);
}

InstanceMessenger::~InstanceMessenger()
{
    for (Connection *c : m_connections) {
        c->socket->disconnect(this);
        c->socket->abort();
        delete c->socket;
        delete c;
    }
    m_server.close(); // removes this copy's socket file
}

QString InstanceMessenger::socketPath() const
{
    return m_folder + QLatin1Char('/') + QString::number(QCoreApplication::applicationPid()) + SocketSuffix;
}

bool InstanceMessenger::isListening() const
{
    return m_server.isListening();
}

bool InstanceMessenger::prepareFolder() const
{
    // The folder must be ours and closed to everyone else; a folder or link that someone else
    // placed there is not used.
    if (!m_folder.startsWith(QLatin1Char('/')))
        return false;
    const QByteArray path = QFile::encodeName(m_folder);
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        return false;
    return (st.st_mode & 0077) == 0 || chmod(path.constData(), 0700) == 0;
}

InstanceMessenger::Outcome InstanceMessenger::start(const QString &programPath, const QStringList &arguments,
                                                    const QString &workingFolder)
{
    if (!prepareFolder())
        return Outcome::NoCopy;
    // Held while asking and until listening: a start beside this one waits and then finds us.
    QLockFile lock(m_folder + QStringLiteral("/lock"));
    lock.tryLock(m_limits.connectMs + m_limits.replyMs);
    Outcome outcome = Outcome::NotSent;
    if (!arguments.isEmpty()) {
        if (const auto line = forwardedCommandLine(programPath, arguments, workingFolder))
            outcome = forward({quint32(QCoreApplication::applicationPid()), *line});
    }
    if (outcome != Outcome::Taken)
        listen();
    return outcome;
}

InstanceMessenger::Outcome InstanceMessenger::forward(const InstanceMessage &message)
{
    const auto request = encodeRequest(message);
    if (!request)
        return Outcome::NotSent;
    // The copy started last is asked first: its window is the one the user saw last.
    QFileInfoList sockets = QDir(m_folder).entryInfoList({QStringLiteral("*") + SocketSuffix}, QDir::Files | QDir::System);
    std::sort(sockets.begin(), sockets.end(),
              [](const QFileInfo &a, const QFileInfo &b) { return a.lastModified() > b.lastModified(); });
    for (const QFileInfo &info : sockets) {
        QLocalSocket socket;
        socket.connectToServer(info.absoluteFilePath());
        if (!socket.waitForConnected(m_limits.connectMs)) {
            // Nobody listens there any more: a copy that crashed left it.
            if (socket.error() == QLocalSocket::ConnectionRefusedError ||
                socket.error() == QLocalSocket::ServerNotFoundError)
                QFile::remove(info.absoluteFilePath());
            continue;
        }
        // From here on this copy is the one asked; whatever it does, no other is tried.
        const QDeadlineTimer deadline(m_limits.replyMs);
        socket.write(*request);
        while (socket.bytesToWrite() > 0 && socket.state() == QLocalSocket::ConnectedState)
            if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
                return Outcome::NoAnswer;
        QByteArray reply;
        while (reply.size() < 4 && !deadline.hasExpired()) {
            if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(deadline.remainingTime())))
                break;
            reply += socket.read(4 - reply.size());
        }
        const auto value = decodeReply(reply);
        if (!value)
            return Outcome::NoAnswer;
        return *value == ReplyTaken ? Outcome::Taken : Outcome::Declined;
    }
    return Outcome::NoCopy;
}

bool InstanceMessenger::listen()
{
    if (m_server.isListening())
        return true;
    if (!prepareFolder())
        return false;
    // Our own name, left by an earlier process with this id: nobody listens there.
    QLocalServer::removeServer(socketPath());
    return m_server.listen(socketPath());
}

bool InstanceMessenger::peerIsOwnUser(qintptr socketDescriptor)
{
    struct ucred cred;
    socklen_t length = sizeof cred;
    if (getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 || length != sizeof cred)
        return false;
    return cred.uid == geteuid();
}

void InstanceMessenger::acceptConnections()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // The socket's mode already keeps other users out; this holds also where it does not.
        if (!peerIsOwnUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            Q_EMIT connectionDropped();
            continue;
        }
        if (int(m_connections.size()) >= m_limits.maxConnections)
            drop(m_connections.front());
        auto *c = new Connection;
        c->socket = socket;
        // Qt stops reading from the system when this much waits, so a flood stays in the kernel.
        socket->setReadBufferSize(64 * 1024);
        c->deadline = new QTimer(socket);
        c->deadline->setSingleShot(true);
        connect(c->deadline, &QTimer::timeout, this, [this, c] { drop(c); });
        c->deadline->start(m_limits.requestMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, c] { readFrom(c); });
        connect(socket, &QLocalSocket::disconnected, this, [this, c] { drop(c); });
        m_connections.push_back(c);
        readFrom(c);
    }
}

void InstanceMessenger::readFrom(Connection *c)
{
    if (c->answered) {
        c->socket->readAll(); // nothing more is expected; do not let it pile up
        return;
    }
    c->bytes += c->socket->read(MaxRequestBytes + 1 - c->bytes.size());
    const DecodeResult r = decodeRequest(c->bytes);
    if (r.status == DecodeStatus::Incomplete)
        return;
    if (r.status == DecodeStatus::Invalid) {
        drop(c);
        return;
    }
    c->answered = true;
    c->bytes.clear();
    // Outside the component's lifetime nobody takes the arguments.
    const bool allow = m_hook ? m_hook(r.message.processId, r.message.commandLine) : true;
    // The hook may have run events; the connection may be gone by now.
    if (std::find(m_connections.begin(), m_connections.end(), c) == m_connections.end())
        return;
    c->socket->write(encodeReply(allow ? ReplyDeclined : ReplyTaken));
    c->socket->disconnectFromServer(); // after the reply is written; `disconnected` then drops it
}

void InstanceMessenger::drop(Connection *c)
{
    const auto it = std::find(m_connections.begin(), m_connections.end(), c);
    if (it == m_connections.end())
        return;
    m_connections.erase(it);
    if (!c->answered)
        Q_EMIT connectionDropped();
    c->deadline->stop();
    c->socket->disconnect(this);
    c->socket->abort();
    c->socket->deleteLater();
    delete c;
}
