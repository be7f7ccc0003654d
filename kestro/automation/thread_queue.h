// The queue of work posted to one thread: the client automation object's reader thread posts
// each event here, and the thread that created the object runs it when its container
// dispatches (control-host's `wait MS`, a test's DispatchFor). A container whose loop sleeps
// in its window message queue gives the queue a wake hook that posts the window a message,
// and dispatches the queue when that message comes (the forecourt window does). Built as a
// shared library so that the container and the modules it loads share each thread's one
// queue.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace kestro::automation {

class ThreadQueue {
  public:
    // The queue of the calling thread, made on first use; it lives while anyone holds it.
    static std::shared_ptr<ThreadQueue> OfCurrentThread();

    // Queues `task` of `owner` to run on the owning thread. Safe from any thread; never
    // blocks for long.
    void Post(const void* owner, std::function<void()> task);
    // Drops the tasks of `owner` not run yet. An object whose module may be unloaded calls
    // it as it goes, so that no task of its code outlives it.
    void Cancel(const void* owner);
    // `wake` runs (on the posting thread) after every Post, so that a container whose loop
    // sleeps in its window message queue can post itself a message and dispatch this queue
    // when it wakes. Null removes it. It must be safe from any thread and must not block.
    void SetWake(std::function<void()> wake);

    // On the owning thread only (elsewhere they run nothing and return 0):
    // runs the tasks queued so far, in order; returns how many ran.
    int DispatchPending();
    // Runs tasks as they arrive until `ms` milliseconds have passed; returns how many ran.
    int DispatchFor(int ms);

    bool IsOwnerThread() const { return std::this_thread::get_id() == owner_; }
    std::size_t Queued();

  private:
    ThreadQueue() = default;

    std::thread::id owner_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::pair<const void*, std::function<void()>>> tasks_;
    std::function<void()> wake_;
};

}  // namespace kestro::automation
