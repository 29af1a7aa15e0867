#include "desktop/AdminRestart.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const QString kDisplay = QStringLiteral("--display=");
const QString kXauthority = QStringLiteral("--xauthority=");
const QString kWayland = QStringLiteral("--wayland-display=");
const QString kLanguage = QStringLiteral("--language=");

bool cleanAbsolutePath(const QString &path)
{
    if (!path.startsWith(u'/'))
        return false;
    for (const QChar c : path)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return true;
}

} // namespace

AdminRestart::Options AdminRestart::forThisProcess(const QString &programPath)
{
    return {unsigned(::geteuid()), QStandardPaths::findExecutable(QStringLiteral("pkexec")), programPath,
            QProcessEnvironment::systemEnvironment()};
}

AdminRestart::AdminRestart(Options options, QObject *parent) : QObject(parent), m_options(std::move(options)) {}

AdminRestart::~AdminRestart()
{
    // The elevated copy is the user's own window now; it is not ended with this one.
    if (m_process)
        m_process->disconnect(this);
}

bool AdminRestart::canRestart() const
{
    const QProcessEnvironment &env = m_options.environment;
    return !isAdmin() && !m_options.pkexec.isEmpty() && !m_options.programPath.isEmpty() &&
           (!env.value(QStringLiteral("DISPLAY")).isEmpty() || !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty());
}

bool AdminRestart::running() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

QStringList AdminRestart::restartArguments(const QString &language) const
{
    const QProcessEnvironment &env = m_options.environment;
    QString xauthority = env.value(QStringLiteral("XAUTHORITY"));
    if (!xauthority.isEmpty())
        xauthority = QFileInfo(xauthority).absoluteFilePath();
    QString wayland = env.value(QStringLiteral("WAYLAND_DISPLAY"));
    if (!wayland.isEmpty() && !wayland.startsWith(u'/')) {
        const QString runtime = env.value(QStringLiteral("XDG_RUNTIME_DIR"));
        wayland = runtime.isEmpty() ? QString() : runtime + u'/' + wayland;
    }
    return {m_options.programPath,
            QLatin1String(ElevatedStart::kFlag),
            kDisplay + env.value(QStringLiteral("DISPLAY")),
            kXauthority + xauthority,
            kWayland + wayland,
            kLanguage + (language == QLatin1String("de") ? QStringLiteral("de") : QStringLiteral("en"))};
}

bool AdminRestart::RestartAsAdmin(const QString &language)
{
    if (!canRestart() || running())
        return false;
    delete m_process;
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        Q_EMIT finished(status == QProcess::NormalExit ? code : -1);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            Q_EMIT finished(-1);
    });
    m_process->start(m_options.pkexec, restartArguments(language));
    return true;
}

namespace ElevatedStart {

std::optional<Request> parse(const QStringList &arguments, unsigned effectiveUid, bool pkexecUidSet)
{
    if (effectiveUid != 0 || !pkexecUidSet || arguments.value(0) != QLatin1String(kFlag))
        return std::nullopt;
    Request r;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a.startsWith(kDisplay))
            r.display = a.mid(kDisplay.size());
        else if (a.startsWith(kXauthority))
            r.xauthority = a.mid(kXauthority.size());
        else if (a.startsWith(kWayland))
            r.waylandDisplay = a.mid(kWayland.size());
        else if (a.startsWith(kLanguage))
            r.language = a.mid(kLanguage.size());
        else
            return std::nullopt;
    }
    static const QRegularExpression displayName(QStringLiteral("^[A-Za-z0-9._-]*:[0-9]{1,5}(\\.[0-9]{1,3})?$"));
    if (!r.display.isEmpty() && !displayName.match(r.display).hasMatch())
        return std::nullopt;
    if ((!r.xauthority.isEmpty() && !cleanAbsolutePath(r.xauthority)) ||
        (!r.waylandDisplay.isEmpty() && !cleanAbsolutePath(r.waylandDisplay)))
        return std::nullopt;
    if (r.display.isEmpty() && r.waylandDisplay.isEmpty())
        return std::nullopt;
    if (r.language != QLatin1String("de"))
        r.language = QStringLiteral("en");
    return r;
}

QStringList withoutElevatedOptions(const QStringList &arguments)
{
    if (arguments.value(0) != QLatin1String(kFlag))
        return arguments;
    QStringList rest = arguments.mid(1);
    while (!rest.isEmpty() && (rest.first().startsWith(kDisplay) || rest.first().startsWith(kXauthority) ||
                               rest.first().startsWith(kWayland) || rest.first().startsWith(kLanguage)))
        rest.removeFirst();
    return rest;
}

} // namespace ElevatedStart
