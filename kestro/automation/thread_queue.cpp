// One work queue per thread.
#include "kestro/automation/thread_queue.h"

#include <chrono>

namespace kestro::automation {

std::shared_ptr<ThreadQueue> ThreadQueue::OfCurrentThread() {
    thread_local std::shared_ptr<ThreadQueue> queue(new ThreadQueue);
    return queue;
}

void ThreadQueue::Post(const void* owner, std::function<void()> task) {
    std::function<void()> wake;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.emplace_back(owner, std::move(task));
        wake = wake_;
    }
    posted_.notify_one();
    if (wake) {
        wake();
    }
}

void ThreadQueue::SetWake(std::function<void()> wake) {
    std::lock_guard<std::mutex> lock(mutex_);
    wake_ = std::move(wake);
}

void ThreadQueue::Cancel(const void* owner) {
    std::deque<std::pair<const void*, std::function<void()>>> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = tasks_.begin(); it != tasks_.end();) {
            if (it->first == owner) {
                dropped.push_back(std::move(*it));
                it = tasks_.erase(it);
            } else {
                ++it;
            }
        }
    }
}

std::size_t ThreadQueue::Queued() {
    std::lock_guard<std::mutex> lock(mutex_);
    return tasks_.size();
}

int ThreadQueue::DispatchPending() {
    if (!IsOwnerThread()) {
        return 0;
    }
    std::deque<std::pair<const void*, std::function<void()>>> ready;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ready.swap(tasks_);
    }
    for (auto& [owner, task] : ready) {
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
