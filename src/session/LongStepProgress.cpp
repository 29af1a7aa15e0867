#include "session/LongStepProgress.h"

#include "session/WindowKeepAlive.h"

LongStepProgress::Running LongStepProgress::begin(Step step, bool cancellable, bool throwWhenCancelled)
{
    if (m_running)
        return Running(nullptr); // joins the running step
    m_running = true;
    m_step = step;
    m_cancellable = cancellable;
    m_throws = cancellable && throwWhenCancelled;
    m_cancelRequested = false;
    m_done = m_total = 0;
    Q_EMIT started();
    return Running(this);
}

void LongStepProgress::setProgress(qint64 done, qint64 total)
{
    if (!m_running || (done == m_done && total == m_total))
        return;
    m_done = done;
    m_total = total;
    Q_EMIT progressed();
}

void LongStepProgress::cancel()
{
    if (!cancellable() || m_cancelRequested)
        return;
    m_cancelRequested = true;
    Q_EMIT cancelRequestedChanged();
}

void LongStepProgress::keepAlive()
{
    if (m_pump)
        m_pump();
    else
        keepWindowAlive();
    if (m_running && m_throws && m_cancelRequested)
        throw StepCancelled();
}

void LongStepProgress::finish()
{
    m_running = false;
    m_cancellable = m_throws = false;
    m_cancelRequested = false;
    Q_EMIT finished();
}
