#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// Runs one long piece of work that touches nothing the window reads (it works on a snapshot)
// on a thread of its own, and calls keepAlive on the caller's thread every 20 ms until it is
// done; the work's exception comes back to the caller. Without a keep-alive it runs in place.
inline void workBeside(const std::function<void()> &work, const std::function<void()> &keepAlive)
{
    if (!keepAlive) {
        work();
        return;
    }
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(mutex);
        done = true;
        doneChanged.notify_one();
    });
    std::unique_lock lock(mutex);
    while (!doneChanged.wait_for(lock, std::chrono::milliseconds(20), [&] { return done; })) {
        lock.unlock();
        keepAlive();
        lock.lock();
    }
    lock.unlock();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}
