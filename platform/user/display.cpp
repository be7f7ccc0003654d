// The display backends: the choice between them, and the headless one, which keeps the
// frames in memory (tests read them, control-host writes them as PNG) and waits on the
// thread queue's condition variable.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/user_internal.h"

namespace platform::user {

namespace {

class HeadlessBackend final : public DisplayBackend {
  public:
    void Wait(ThreadQueue& queue, int timeoutMs) override {
        std::unique_lock lock(queue.mutex);
        auto ready = [&] { return !queue.posted.empty() || !queue.input.empty() || queue.quit; };
        if (timeoutMs < 0) {
            queue.wake.wait(lock, ready);
        } else {
            queue.wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
        }
    }
    void Wake(ThreadQueue& queue) override { queue.wake.notify_all(); }
    void Present(HWND, const PixelSurface&, bool, const std::vector<RECT>&) override {}
    void WindowDestroyed(HWND) override {}
    void Beep() override {}
};

struct Selection {
    std::mutex mutex;
    std::unique_ptr<DisplayBackend> backend;
    Display display = Display::Headless;
};

std::atomic<int> zoom{1};

Selection& TheSelection() {
    static Selection* selection = new Selection;
    return *selection;
}

DisplayBackend& Select(Selection& s, Display wanted) {
    if (wanted == Display::Sdl) {
        if (auto sdl = MakeSdlBackend()) {
            s.backend = std::move(sdl);
            s.display = Display::Sdl;
            return *s.backend;
        }
    }
    s.backend = MakeHeadlessBackend();
    s.display = Display::Headless;
    return *s.backend;
}

}  // namespace

std::unique_ptr<DisplayBackend> MakeHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

int DisplayZoom() {
    return zoom.load();
}

DisplayBackend& Backend() {
    Selection& s = TheSelection();
    std::lock_guard lock(s.mutex);
    if (!s.backend) {
        const char* env = std::getenv("FORECOURT_DISPLAY");
        return Select(
            s, env != nullptr && std::strcmp(env, "sdl") == 0 ? Display::Sdl : Display::Headless);
    }
    return *s.backend;
}

}  // namespace platform::user

namespace platform {

bool SelectDisplay(Display display) {
    user::Selection& s = user::TheSelection();
    {
        std::lock_guard lock(s.mutex);
        if (s.backend && s.display == display) {
            return true;
        }
    }
    if (!user::TopLevelWindows().empty()) {
        return false;
    }
    std::lock_guard lock(s.mutex);
    user::Select(s, display);  // falls back to headless when the wanted display cannot open
    return s.display == display;
}

bool SetDisplayZoom(int factor) {
    if (factor < 1 || factor > kMaxDisplayZoom) {
        return false;
    }
    if (user::zoom.exchange(factor) != factor) {
        for (HWND top : user::TopLevelWindows()) {
            if (user::Window* w = user::Find(top)) {
                user::FrameChanged(*w);  // shown again whole at the new size
            }
        }
    }
    return true;
}

Display CurrentDisplay() {
    user::Backend();
    return user::TheSelection().display;
}

}  // namespace platform
