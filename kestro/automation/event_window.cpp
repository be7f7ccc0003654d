// The client object's message-only window: its class, the mailbox of posted work and the
// window procedure that runs that work on the owning thread.
#include "kestro/automation/event_window.h"

#include <cstdint>
#include <string>
#include <utility>

namespace kestro::automation {

// The work posted and not run yet. `open` goes false when the window goes: nothing is queued
// after that.
struct EventWindow::Poster::Mailbox {
    std::mutex mutex;
    std::deque<std::function<void()>> work;
    HWND hwnd = nullptr;
    bool open = false;
};

namespace {

// The window class, registered while any event window of this copy of the code lives, so that
// an unloaded module leaves no class behind that points into it. Windows keys a module's own
// class by the module; here its name carries the procedure's address, so that two copies (the
// module, and the same code linked into a test) never share one.
class EventWindowClass {
  public:
    static const WCHAR* Acquire(WNDPROC proc) {
        EventWindowClass& self = Instance();
        std::lock_guard lock(self.mutex_);
        if (self.users_ == 0) {
            self.name_ = Name(proc);
            WNDCLASSW wc{};
            wc.lpfnWndProc = proc;
            wc.lpszClassName = self.name_.c_str();
            if (RegisterClassW(&wc) == 0) {
                return nullptr;
            }
        }
        ++self.users_;
        return self.name_.c_str();
    }
    static void Release() {
        EventWindowClass& self = Instance();
        std::lock_guard lock(self.mutex_);
        if (--self.users_ == 0) {
            UnregisterClassW(self.name_.c_str(), nullptr);
        }
    }

  private:
    static EventWindowClass& Instance() {
        static EventWindowClass instance;
        return instance;
    }
    static WideString Name(WNDPROC proc) {
        WideString name = WSTR("KestroClientEvents.");
        auto address = reinterpret_cast<std::uintptr_t>(proc);
        for (int shift = static_cast<int>(sizeof(address)) * 8 - 4; shift >= 0; shift -= 4) {
            name.push_back(WSTR("0123456789ABCDEF")[(address >> shift) & 0xF]);
        }
        return name;
    }

    std::mutex mutex_;
    int users_ = 0;
    WideString name_;
};

}  // namespace

UINT EventWindow::Message() {
    static const UINT message = RegisterWindowMessageW(WSTR("Kestro.Client.Event"));
    return message;
}

EventWindow::EventWindow() {
    poster_.box_ = std::make_shared<Poster::Mailbox>();
    const WCHAR* className = EventWindowClass::Acquire(&EventWindow::Proc);
    if (className == nullptr) {
        return;
    }
    hwnd_ = CreateWindowExW(0, className, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                            nullptr);
    if (hwnd_ == nullptr) {
        EventWindowClass::Release();
        return;
    }
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(poster_.box_.get()));
    std::lock_guard lock(poster_.box_->mutex);
    poster_.box_->hwnd = hwnd_;
    poster_.box_->open = true;
}

EventWindow::~EventWindow() {
    std::deque<std::function<void()>> dropped;  // destroyed outside the lock
    {
        std::lock_guard lock(poster_.box_->mutex);
        poster_.box_->open = false;
        dropped.swap(poster_.box_->work);
    }
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);  // its messages still queued go nowhere
        EventWindowClass::Release();
    }
}

void EventWindow::Poster::Post(std::function<void()> work) const {
    std::lock_guard lock(box_->mutex);
    if (!box_->open) {
        return;
    }
    box_->work.push_back(std::move(work));
    // Under the lock: the window is not destroyed meanwhile, and messages follow the work's order.
    PostMessageW(box_->hwnd, Message(), 0, 0);
}

LRESULT EventWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != Message()) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    auto* box = reinterpret_cast<Poster::Mailbox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (box == nullptr) {
        return 0;
    }
    std::function<void()> work;
    {
        std::lock_guard lock(box->mutex);
        if (box->work.empty()) {
            return 0;
        }
        work = std::move(box->work.front());
        box->work.pop_front();
    }
    // One piece of work per message: a modal loop that the work opens runs the next ones. The
    // work may destroy this window and its mailbox; neither is touched after it.
    work();
    return 0;
}

}  // namespace kestro::automation
