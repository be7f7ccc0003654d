// One work queue per thread.
#include "kestro/automation/thread_queue.h"

#include <chrono>

namespace kestro::automation {

std::shared_ptr<ThreadQueue> ThreadQueue::OfCurrentThread() {
    thread_local std::shared_ptr<ThreadQueue> queue(new ThreadQueue);
    return queue;
}

void ThreadQueue::Post(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
}

std::size_t ThreadQueue::Queued() {
    std::lock_guard<std::mutex> lock(mutex_);
    return tasks_.size();
}

int ThreadQueue::DispatchPending() {
    if (!IsOwnerThread()) {
        return 0;
    }
    std::deque<std::function<void()>> ready;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ready.swap(tasks_);
    }
    for (std::function<void()>& task : ready) {
        task();  // a task may post further tasks; they run in the next round
    }
    return static_cast<int>(ready.size());
}

int ThreadQueue::DispatchFor(int ms) {
    if (!IsOwnerThread()) {
        return 0;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    int ran = DispatchPending();
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!posted_.wait_until(lock, deadline, [this] { return !tasks_.empty(); })) {
                return ran;
            }
        }
        ran += DispatchPending();
    }
}

}  // namespace kestro::automation
