#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

// A long save or export at a million songs runs on a thread of its own from a snapshot of what
// it writes (a SongList copy shares its songs, so taking one costs nothing), while the window's
// thread waits in short steps, keeps painting and shows how far the work is.

// Called on the waiting thread when the work starts and then about every 20 ms with the share
// done (0 to 1; -1 while the content is still being made). Returns false to cancel.
using WorkWatch = std::function<bool(double done)>;

// Makes the watch of one run, told what the run does in words for the user. The run drops its
// watch when it ends: whatever the watch shows goes with it.
using WorkWatchMaker = std::function<WorkWatch(const QString &what)>;

enum class WriteOutcome { Written, Cancelled };

// Runs make on a thread of its own and returns its result; nothing when the watch cancelled
// (make runs to its end all the same, and its result is thrown away). make must read only what
// it captured by value. What make throws is thrown here. Without a watch make runs on the
// calling thread.
template <typename T>
std::optional<T> runInBackground(const std::function<T()> &make, const WorkWatch &watch);

// The bytes of a file made by make on a thread of its own, then written beside the file and
// renamed over it a MiB at a time (QSaveFile). Cancelled: the previous file is untouched (a
// cancel that comes after the last byte is written is too late: the file is Written then).
// Throws SonaloError ("Cannot create file "%1". %2", "Unable to write to %1. %2") or make's
// error; the previous file is untouched then as well. Without a watch all runs on the calling
// thread.
WriteOutcome writeInBackground(const QString &fileName, const std::function<QByteArray()> &make,
                               const WorkWatch &watch);

namespace BackgroundWork {

// The type-free part of runInBackground: work runs on its own thread; the calling thread runs
// the watch with progress() every 20 ms until work ends, and sets cancel once the watch says so.
struct Job
{
    std::function<void()> work;
    std::function<double()> progress;
    std::atomic<bool> cancel = false;
};
// Runs the job to its end; rethrows what work threw.
void run(Job &job, const WorkWatch &watch);

} // namespace BackgroundWork

template <typename T>
std::optional<T> runInBackground(const std::function<T()> &make, const WorkWatch &watch)
{
    if (!watch)
        return make();
    auto result = std::make_shared<std::optional<T>>();
    BackgroundWork::Job job;
    job.work = [make, result] { *result = make(); };
    job.progress = [] { return -1.0; };
    BackgroundWork::run(job, watch);
    if (job.cancel)
        return std::nullopt;
    return std::move(*result);
}
