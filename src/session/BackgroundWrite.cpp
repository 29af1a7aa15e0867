#include "session/BackgroundWrite.h"

#include "core/Errors.h"
#include "core/WorkBeside.h"

#include <QSaveFile>

#include <exception>

namespace {

// How much is written between two looks at Cancel: a MiB takes a few milliseconds.
constexpr qsizetype kWriteStepBytes = qsizetype(1) << 20;

[[noreturn]] void failToWrite(const QString &fileName, const QSaveFile &f)
{
    throw SonaloError(QStringLiteral("Unable to write to %1").arg(fileName) + QStringLiteral(". ") + f.errorString());
}

} // namespace

void BackgroundWork::run(Job &job, const WorkWatch &watch)
{
    // What the watch throws waits until the work has ended: the thread must be joined first.
    std::exception_ptr watchError;
    const std::function<void()> look = [&] {
        if (job.cancel || watchError)
            return;
        try {
            if (!watch(job.progress ? job.progress() : -1.0))
                job.cancel = true;
        } catch (...) {
            watchError = std::current_exception();
            job.cancel = true;
        }
    };
    // Once at the start, so that a Cancel already pressed counts also for a short step, then
    // every 20 ms while the work runs. The work's own failure comes first.
    look();
    workBeside(job.work, look);
    if (watchError)
        std::rethrow_exception(watchError);
}

WriteOutcome writeInBackground(const QString &fileName, const std::function<QByteArray()> &make,
                               const WorkWatch &watch)
{
    std::atomic<qint64> written = 0;
    std::atomic<qint64> total = -1;
    BackgroundWork::Job job;
    WriteOutcome outcome = WriteOutcome::Cancelled;
    job.work = [&] {
        const QByteArray bytes = make();
        if (job.cancel)
            return;
        total = bytes.size();
        QSaveFile f(fileName);
        if (!f.open(QIODevice::WriteOnly))
            throw SonaloError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()));
        for (qsizetype at = 0; at < bytes.size(); at += kWriteStepBytes) {
            if (job.cancel)
                return; // the QSaveFile's temporary file goes, the old file stays
            const qsizetype n = std::min(kWriteStepBytes, bytes.size() - at);
            if (f.write(bytes.constData() + at, n) != n)
                failToWrite(fileName, f);
            written = at + n;
        }
        if (job.cancel)
            return;
        if (!f.commit())
            failToWrite(fileName, f);
        outcome = WriteOutcome::Written;
    };
    job.progress = [&] {
        const qint64 all = total;
        return all < 0 ? -1.0 : all == 0 ? 1.0 : double(written) / double(all);
    };
    if (watch)
        BackgroundWork::run(job, watch);
    else
        job.work();
    return outcome;
}
