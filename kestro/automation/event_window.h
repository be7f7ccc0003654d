// The client object's road to the thread that created it: a hidden message-only window made on
// that thread, to which the reader thread posts one registered message per event. The window
// procedure runs the event's work there when the thread's message loop dispatches the message
// (the container's own loop, or a modal one such as a popup's), so a container receives the
// events by running its ordinary message loop and nothing else.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/user.h"

namespace kestro::automation {

class EventWindow {
  public:
    // Makes the window on the calling thread, which owns it and runs all its work.
    EventWindow();
    // On the owning thread: destroys the window and drops the work not run yet, so none of it
    // calls into the owner of this window afterwards.
    ~EventWindow();
    EventWindow(const EventWindow&) = delete;
    EventWindow& operator=(const EventWindow&) = delete;

    // What the other threads post with. Safe from any thread, and after the window is gone
    // (posting then does nothing).
    class Poster {
      public:
        // Queues `work` to run on the owning thread, after the work posted before it.
        void Post(std::function<void()> work) const;

      private:
        friend class EventWindow;
        struct Mailbox;
        std::shared_ptr<Mailbox> box_;
    };
    Poster MakePoster() const { return poster_; }

    // False when the window could not be made: posted work is then dropped.
    bool Valid() const { return hwnd_ != nullptr; }
    HWND Handle() const { return hwnd_; }
    // The registered message that carries the work ("Kestro.Client.Event").
    static UINT Message();

  private:
    static LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Poster poster_;
    HWND hwnd_ = nullptr;
};

}  // namespace kestro::automation
