// The display backends: the choice between them, the headless one, which keeps the frames in
// memory (tests read them, control-host writes them as PNG) and waits on the thread queue's
// condition variable, and the loading of the SDL one from its module.
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/user/user_internal.h"

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
    bool ReadFrame(HWND topLevel, PixelSurface* out) override {
        const PixelSurface* surface = GetWindowSurface(topLevel);
        if (surface == nullptr) {
            return false;
        }
        *out = *surface;
        return true;
    }
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

// The folder of the library that holds this code, with its closing slash; empty when unknown.
std::string FolderOfThisLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&FolderOfThisLibrary), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    const std::string file = info.dli_fname;
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

}  // namespace

std::unique_ptr<DisplayBackend> MakeHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

std::unique_ptr<DisplayBackend> MakeSdlBackend() {
    // Only a program that asks for a window loads the window system's libraries, and a
    // machine without them still runs everything headless. The module is never unloaded:
    // the window system keeps threads and handlers of its own for the process life.
    const std::string path = FolderOfThisLibrary() + kSdlDisplayModule;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "SDL display not available: %s\n", dlerror());
        return nullptr;
    }
    auto create =
        reinterpret_cast<CreateDisplayBackendFunction>(dlsym(module, kCreateSdlDisplayBackend));
    if (create == nullptr) {
        std::fprintf(stderr, "SDL display not available: %s has no %s\n", path.c_str(),
                     kCreateSdlDisplayBackend);
        return nullptr;
    }
    return std::unique_ptr<DisplayBackend>(create());
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

bool ReadPresentedFrame(HWND topLevel, PixelSurface* frame) {
    if (frame == nullptr) {
        return false;
    }
    user::PresentChangedFrames(true);
    return user::Backend().ReadFrame(topLevel, frame);
}

std::uint32_t GetDisplayWindowId(HWND topLevel) {
    return user::Backend().WindowId(topLevel);
}

}  // namespace platform
