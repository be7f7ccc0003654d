// The per-thread work queue: tasks posted from any thread run on the owning thread only, in
// order, when it dispatches; an owner's tasks can be cancelled before they run.
#include "kestro/automation/thread_queue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using kestro::automation::ThreadQueue;

TEST(ThreadQueueTest, TasksPostedElsewhereRunInOrderOnTheOwningThreadOnly) {
    auto queue = ThreadQueue::OfCurrentThread();
    EXPECT_EQ(queue, ThreadQueue::OfCurrentThread());
    std::vector<int> ran;
    std::vector<std::thread::id> threads;
    std::thread poster([&] {
        for (int i = 1; i <= 3; ++i) {
            queue->Post(nullptr, [&, i] {
                ran.push_back(i);
                threads.push_back(std::this_thread::get_id());
            });
        }
        EXPECT_EQ(queue->DispatchPending(), 0) << "another thread runs nothing";
        EXPECT_NE(ThreadQueue::OfCurrentThread(), queue);
    });
    poster.join();
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(queue->DispatchFor(0), 3);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    for (std::thread::id thread : threads) {
        EXPECT_EQ(thread, std::this_thread::get_id());
    }
}

TEST(ThreadQueueTest, CancelDropsOnlyTheOwnersTasks) {
    auto queue = ThreadQueue::OfCurrentThread();
    int mine = 0;
    int theirs = 0;
    const int owner = 0;
    const int other = 0;
    queue->Post(&owner, [&] { ++mine; });
    queue->Post(&other, [&] { ++theirs; });
    queue->Post(&owner, [&] { ++mine; });
    queue->Cancel(&owner);
    EXPECT_EQ(queue->Queued(), 1u);
    EXPECT_EQ(queue->DispatchPending(), 1);
    EXPECT_EQ(mine, 0);
    EXPECT_EQ(theirs, 1);
}

TEST(ThreadQueueTest, DispatchForRunsTasksThatArriveWhileItWaits) {
    auto queue = ThreadQueue::OfCurrentThread();
    int ran = 0;
    std::thread poster([&] { queue->Post(nullptr, [&] { ++ran; }); });
    const int count = queue->DispatchFor(200);
    poster.join();
    queue->DispatchPending();
    EXPECT_EQ(ran, 1);
    EXPECT_LE(count, 1);
}

}  // namespace
