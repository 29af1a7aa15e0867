#pragma once

#include <QObject>

#include <functional>
#include <utility>

// A long step the window shows while it runs (adding many files, a search of a large list):
// which step it is, how far it has come, and Cancel where stopping leaves a consistent list.
// The window's strip shows it and turns Cancel and Esc into cancel(); the step runs with
// keepAlive(), which paints the window, lets only Cancel through, and, for a step that can be
// cancelled, throws StepCancelled once it was. One step at a time: a step begun inside another
// (a context search while files are added) joins the one that runs.
class LongStepProgress : public QObject
{
    Q_OBJECT
public:
    enum class Step { Adding, Searching };

    // Thrown out of keepAlive() in a cancelled step; the step's caller catches it.
    struct StepCancelled
    {
    };

    // The step runs while this lives.
    class [[nodiscard]] Running
    {
    public:
        Running(Running &&other) noexcept : m_owner(std::exchange(other.m_owner, nullptr)) {}
        Running(const Running &) = delete;
        Running &operator=(const Running &) = delete;
        Running &operator=(Running &&) = delete;
        ~Running()
        {
            if (m_owner)
                m_owner->finish();
        }

    private:
        friend class LongStepProgress;
        explicit Running(LongStepProgress *owner) : m_owner(owner) {}
        LongStepProgress *m_owner;
    };

    explicit LongStepProgress(QObject *parent = nullptr) : QObject(parent) {}

    // cancellable: whether Cancel may stop it. The thrower asks keepAlive() to throw
    // StepCancelled once cancelled; without it the step looks at cancelRequested() itself.
    Running begin(Step step, bool cancellable, bool throwWhenCancelled = false);
    bool running() const { return m_running; }
    Step step() const { return m_step; }
    bool cancellable() const { return m_running && m_cancellable; }
    // done of total; a total of 0 is a step whose length is not known.
    void setProgress(qint64 done, qint64 total);
    qint64 done() const { return m_done; }
    qint64 total() const { return m_total; }

    // Cancel or Esc: honoured by a cancellable step only.
    void cancel();
    bool cancelRequested() const { return m_cancelRequested; }

    // What the step calls now and then: the window's pump (keepWindowAlive without a window).
    void keepAlive();
    const std::function<void()> &keepAliveFunction() const { return m_keepAlive; }
    // The window's keep-alive while a step runs: it paints and lets only Cancel through.
    void setPump(std::function<void()> pump) { m_pump = std::move(pump); }

Q_SIGNALS:
    void started();
    void progressed();
    void cancelRequestedChanged();
    void finished();

private:
    void finish();

    bool m_running = false;
    Step m_step = Step::Adding;
    bool m_cancellable = false;
    bool m_throws = false;
    bool m_cancelRequested = false;
    qint64 m_done = 0;
    qint64 m_total = 0;
    std::function<void()> m_pump;
    const std::function<void()> m_keepAlive = [this] { keepAlive(); };
};
