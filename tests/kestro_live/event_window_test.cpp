// The client object's event window: work posted from any thread runs on the owning thread
// only, in order, when its message loop dispatches; the window is message-only; work still
// queued when the window goes is dropped.
#include "kestro/automation/event_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

using kestro::automation::EventWindow;

// Starts each test with an empty queue: the live tests before it in this process may leave
// messages of released client objects behind.
class EventWindowTest : public testing::Test {
  protected:
    void SetUp() override { platform::DispatchPendingMessages(); }
};

BOOL NoteWindow(HWND hwnd, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
    return TRUE;
}

TEST_F(EventWindowTest, WorkPostedElsewhereRunsInOrderOnTheOwningThreadOnly) {
    EventWindow window;
    ASSERT_TRUE(window.Valid());
    std::vector<int> ran;
    std::vector<std::thread::id> threads;
    std::thread poster([&, post = window.MakePoster()] {
        for (int i = 1; i <= 3; ++i) {
            post.Post([&, i] {
                ran.push_back(i);
                threads.push_back(std::this_thread::get_id());
            });
        }
    });
    poster.join();
    EXPECT_TRUE(ran.empty()) << "nothing runs before the loop dispatches";
    EXPECT_EQ(platform::DispatchPendingMessages(), 3);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    for (std::thread::id thread : threads) {
        EXPECT_EQ(thread, std::this_thread::get_id());
    }
}

TEST_F(EventWindowTest, TheWindowOnlyTakesMessages) {
    EventWindow window;
    ASSERT_TRUE(window.Valid());
    EXPECT_EQ(GetParent(window.Handle()), nullptr);
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
    std::vector<HWND> listed;
    EnumWindows(&NoteWindow, reinterpret_cast<LPARAM>(&listed));
    EXPECT_TRUE(listed.empty());
    EXPECT_GE(EventWindow::Message(), 0xC000u);
    EXPECT_EQ(EventWindow::Message(), RegisterWindowMessageW(u"KESTRO.CLIENT.EVENT"));
}

TEST_F(EventWindowTest, WorkNotRunWhenTheWindowGoesIsDropped) {
    int ran = 0;
    auto window = std::make_unique<EventWindow>();
    const EventWindow::Poster post = window->MakePoster();
    post.Post([&] { ++ran; });
    post.Post([&] { ++ran; });
    window.reset();
    post.Post([&] { ++ran; });  // after the window: nothing is queued
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "its messages went with it";
    platform::DispatchPendingMessages();
    EXPECT_EQ(ran, 0);
}

TEST_F(EventWindowTest, TheLoopRunsWorkThatArrivesWhileItWaits) {
    EventWindow window;
    int ran = 0;
    std::thread poster([&, post = window.MakePoster()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        post.Post([&] { ++ran; });
    });
    EXPECT_TRUE(platform::RunMessageLoopFor(300));
    poster.join();
    EXPECT_EQ(ran, 1);
}

TEST_F(EventWindowTest, WorkThatOpensAModalLoopLetsTheNextWorkRunInsideIt) {
    EventWindow window;
    const EventWindow::Poster post = window.MakePoster();
    std::vector<int> depths;
    int depth = 0;
    post.Post([&] {
        depths.push_back(depth);
        ++depth;
        platform::DispatchPendingMessages();  // the popup's loop
        --depth;
    });
    post.Post([&] { depths.push_back(depth); });
    platform::DispatchPendingMessages();
    EXPECT_EQ(depths, (std::vector<int>{0, 1}));
}

}  // namespace
