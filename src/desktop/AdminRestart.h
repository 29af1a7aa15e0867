#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

class QProcess;

// Whether the program runs as administrator (effective user root), and its restart through
// pkexec for the system-wide registrations. pkexec hands the new process almost no environment,
// so the display is passed as arguments of our own program; the restarted program then shows
// the shortcuts window only. The running program keeps running: a cancelled password dialog
// must not cost the user the session.
class AdminRestart : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        unsigned effectiveUid = 0;
        QString pkexec;      // empty: not installed
        QString programPath; // what pkexec starts
        QProcessEnvironment environment;
    };
    // The state of this process (geteuid(), pkexec from PATH, the environment).
    static Options forThisProcess(const QString &programPath);

    explicit AdminRestart(Options options, QObject *parent = nullptr);
    ~AdminRestart() override;

    bool isAdmin() const { return m_options.effectiveUid == 0; }
    // The restart can be offered: not root, pkexec installed, a display known.
    bool canRestart() const;
    bool pkexecMissing() const { return m_options.pkexec.isEmpty(); }
    bool running() const;

    // pkexec's arguments for a restart in language `language` ("de" or "en").
    QStringList restartArguments(const QString &language) const;
    // Starts the elevated copy; false when it cannot be offered or one runs already.
    bool RestartAsAdmin(const QString &language);

Q_SIGNALS:
    // The elevated copy ended (pkexec: 126 dismissed, 127 not authorised or no agent).
    void finished(int exitCode);

private:
    Options m_options;
    QProcess *m_process = nullptr;
};

// The start of the restarted copy, recognised before the application object exists.
namespace ElevatedStart {

inline constexpr char kFlag[] = "--elevated-shortcuts";

struct Request
{
    QString display;
    QString xauthority;
    QString waylandDisplay;
    QString language;
};

// The request `arguments` (without the program name) carry: only for root started by pkexec
// (PKEXEC_UID set), with the flag first and nothing but valid options after it. A display name
// must look like one, the other two must be absolute paths without control characters.
std::optional<Request> parse(const QStringList &arguments, unsigned effectiveUid, bool pkexecUidSet);

// `arguments` without the flag and its options, for a start that is not an elevated one.
QStringList withoutElevatedOptions(const QStringList &arguments);

} // namespace ElevatedStart
