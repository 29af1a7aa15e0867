#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QStringList>

#include <functional>

// Turns a command line handed over by a second start into parameters and raises OnNewInstance.
// At most one exists per process; while none exists, hand-overs are declined and the second
// start runs as a copy of its own. Window thread only.
class TOneInstanceCheck : public QObject
{
    Q_OBJECT
public:
    // allow: set to true to decline the hand-over; left false, the sender ends.
    using NewInstanceEvent =
        std::function<void(TOneInstanceCheck *sender, quint32 processId, const QStringList &params, bool &allow)>;

    // Throws SonaloError "Nur ein TOneInstanceCheck-Objekt möglich" when one exists already.
    explicit TOneInstanceCheck(QObject *parent = nullptr);
    ~TOneInstanceCheck() override;

    NewInstanceEvent OnNewInstance;
    // The window brought to the front after a hand-over that was taken.
    void setMainWindow(QWidget *window);

    static TOneInstanceCheck *instance();
    // The messenger's receive hook: returns allow (true: declined).
    static bool received(quint32 processId, const QString &commandLine);

private:
    void handle(quint32 processId, const QString &commandLine, bool &allow);
    void bringToForeground();

    QPointer<QWidget> m_mainWindow;
};
