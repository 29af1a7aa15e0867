#pragma once

#include "core/InstanceMessage.h"

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalSocket;

// The bounds of the hand-over.
struct InstanceLimits
{
    int connectMs = 1000;       // per socket tried by the sender
    int replyMs = 10000;        // the sender's wait for the reply
    int requestMs = 2000;       // the receiver's wait for a whole request, and to send the reply
    int maxConnections = 32;    // open at once; the oldest is dropped for a new one
    // Who may connect; only tests relax it.
    QLocalServer::SocketOptions socketOptions = QLocalServer::UserAccessOption;
};

// The hand-over between copies of one program file over local sockets. Every copy that keeps
// running listens on a socket of its own in a folder private to the user and keyed by the
// program file's path, so copies of two program files never meet. A start with arguments asks
// the copies there first and ends when one takes them.
//
// Receiving runs on the window thread without ever waiting: each connection is read as its
// bytes arrive, bounded in size and in time, and dropped at the first byte that cannot belong
// to a request.
class InstanceMessenger : public QObject
{
    Q_OBJECT
public:
    using Limits = InstanceLimits;

    enum class Outcome {
        NoCopy,    // no copy answered the connection
        Taken,     // a copy took the arguments: this process ends
        Declined,  // a copy declined them
        NoAnswer,  // a copy was reached but gave no valid reply in time
        NotSent,   // nothing to send (no arguments, or a name the message cannot carry)
    };

    // Returns whether the arguments are to be opened here (Allow): true declines them.
    using ReceiveHook = std::function<bool(quint32 processId, const QString &commandLine)>;

    // The folder of the channel: the user's runtime folder, a name from the user and a hash
    // of the program's full path.
    static QString channelFolder(const QString &programPath, const QString &runtimeFolder);
    // The runtime folder of the desktop session (XDG_RUNTIME_DIR), private to the user.
    static QString runtimeFolder();

    explicit InstanceMessenger(QString folder, Limits limits = {}, QObject *parent = nullptr);
    ~InstanceMessenger() override;

    // The start: offers the arguments to a running copy (under the folder's lock, so two
    // starts at once do not both become the first copy), then listens unless they were taken.
    // Returns Taken when this process must end.
    Outcome start(const QString &programPath, const QStringList &arguments, const QString &workingFolder);
    // The sender's part alone: the first copy that answers the connection gets the request.
    Outcome forward(const InstanceMessage &message);
    // The receiver's part alone; false when the channel cannot be used.
    bool listen();

    void setReceiveHook(ReceiveHook hook) { m_hook = std::move(hook); }
    QString socketPath() const;
    bool isListening() const;
    int openConnections() const { return int(m_connections.size()); }
    // The peer of a connected local socket runs as this process's user.
    static bool peerIsOwnUser(qintptr socketDescriptor);

Q_SIGNALS:
    // A connection was dropped without a reply (malformed, too large, too slow, other user).
    void connectionDropped();

private:
    struct Connection;
    bool prepareFolder() const;
    void acceptConnections();
    void readFrom(Connection *connection);
    void drop(Connection *connection);

    QString m_folder;
    Limits m_limits;
    QLocalServer m_server;
    ReceiveHook m_hook;
    std::vector<Connection *> m_connections; // oldest first
};
