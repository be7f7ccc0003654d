// The SDL display backend: one real window per shown top-level window, its frame copied to the
// window's surface when it changes, SDL's mouse and keyboard events queued as input, and the
// message loop sleeping in SDL_WaitEventTimeout until the next timer or event.
#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <map>

#include "platform/user_internal.h"

namespace platform::user {

namespace {

UINT VirtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<UINT>('0' + (key - SDLK_0));
    }
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<UINT>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + static_cast<UINT>(key - SDLK_F1);
    }
    switch (key) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_END:
            return VK_END;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_KP_0:
            return VK_NUMPAD0;
        default:
            if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
                return VK_NUMPAD0 + 1 + static_cast<UINT>(key - SDLK_KP_1);
            }
            return 0;
    }
}

class SdlBackend final : public DisplayBackend {
  public:
    SdlBackend() : wakeEvent_(SDL_RegisterEvents(1)) {}
    ~SdlBackend() override {
        for (auto& [hwnd, window] : windows_) {
            SDL_DestroyWindow(window);
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void Wait(ThreadQueue& queue, int timeoutMs) override {
        {
            std::lock_guard lock(queue.mutex);
            if (!queue.posted.empty() || !queue.input.empty() || queue.quit) {
                return;
            }
        }
        SDL_Event event;
        const int got =
            timeoutMs < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeoutMs);
        if (got == 0) {
            return;
        }
        do {
            Handle(event);
        } while (SDL_PollEvent(&event) != 0);
    }

    void Wake(ThreadQueue&) override {
        SDL_Event event{};
        event.type = wakeEvent_;
        SDL_PushEvent(&event);
    }

    void Present(HWND topLevel, const PixelSurface& frame, bool visible) override {
        SDL_Window* window = WindowFor(topLevel, frame, visible);
        if (window == nullptr) {
            return;
        }
        if (!visible) {
            SDL_HideWindow(window);
            return;
        }
        SDL_ShowWindow(window);
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(window, &w, &h);
        if (w != frame.width || h != frame.height) {
            SDL_SetWindowSize(window, frame.width, frame.height);
        }
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        if (surface == nullptr || frame.width == 0 || frame.height == 0) {
            return;
        }
        SDL_LockSurface(surface);
        SDL_ConvertPixels(std::min(frame.width, surface->w), std::min(frame.height, surface->h),
                          SDL_PIXELFORMAT_RGB888, frame.pixels.data(), frame.width * 4,
                          surface->format->format, surface->pixels, surface->pitch);
        SDL_UnlockSurface(surface);
        SDL_UpdateWindowSurface(window);
    }

    void WindowDestroyed(HWND topLevel) override {
        auto it = windows_.find(topLevel);
        if (it != windows_.end()) {
            SDL_DestroyWindow(it->second);
            windows_.erase(it);
        }
    }

    void Beep() override {
        if (isatty(STDERR_FILENO)) {
            std::fputc('\a', stderr);
            std::fflush(stderr);
        }
    }

    bool ReadFrame(HWND topLevel, PixelSurface* out) {
        auto it = windows_.find(topLevel);
        if (it == windows_.end()) {
            return false;
        }
        SDL_Surface* surface = SDL_GetWindowSurface(it->second);
        if (surface == nullptr) {
            return false;
        }
        out->Reset(surface->w, surface->h, 0);
        SDL_LockSurface(surface);
        SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels,
                          surface->pitch, SDL_PIXELFORMAT_RGB888, out->pixels.data(),
                          surface->w * 4);
        SDL_UnlockSurface(surface);
        for (std::uint32_t& p : out->pixels) {
            p &= 0x00FFFFFF;
        }
        return true;
    }

    std::uint32_t WindowId(HWND topLevel) {
        auto it = windows_.find(topLevel);
        return it == windows_.end() ? 0 : SDL_GetWindowID(it->second);
    }

  private:
    SDL_Window* WindowFor(HWND topLevel, const PixelSurface& frame, bool visible) {
        auto it = windows_.find(topLevel);
        if (it != windows_.end()) {
            return it->second;
        }
        if (!visible) {
            return nullptr;  // a window is opened when it is first shown
        }
        const Window* w = Find(topLevel);
        std::string title;
        for (char16_t c : w != nullptr ? w->text : std::u16string()) {
            title += c < 0x80 ? static_cast<char>(c) : '?';
        }
        RECT rect{};
        GetWindowRect(topLevel, &rect);
        SDL_Window* window =
            SDL_CreateWindow(title.c_str(), rect.left, rect.top, std::max(1, frame.width),
                             std::max(1, frame.height), SDL_WINDOW_SHOWN);
        if (window != nullptr) {
            windows_[topLevel] = window;
        }
        return window;
    }

    HWND WindowOf(std::uint32_t id) {
        for (auto& [hwnd, window] : windows_) {
            if (SDL_GetWindowID(window) == id) {
                return hwnd;
            }
        }
        return nullptr;
    }

    void QueueMouse(std::uint32_t windowId, UINT message, int x, int y) {
        const HWND top = WindowOf(windowId);
        const Window* w = Find(top);
        if (w == nullptr) {
            return;
        }
        const int b = BorderWidth(*w);
        QueueMouseInput(top, message, POINT{x - b, y - b});
    }

    void Handle(const SDL_Event& event) {
        switch (event.type) {
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (event.button.button == SDL_BUTTON_LEFT) {
                    QueueMouse(event.button.windowID,
                               event.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                               event.button.x, event.button.y);
                }
                break;
            case SDL_MOUSEMOTION:
                QueueMouse(event.motion.windowID, WM_MOUSEMOVE, event.motion.x, event.motion.y);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (const UINT vk = VirtualKeyFromSdl(event.key.keysym.sym)) {
                    QueueKeyInput(vk, event.type == SDL_KEYDOWN);
                }
                break;
            case SDL_WINDOWEVENT:
                if (const HWND top = WindowOf(event.window.windowID)) {
                    if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                        PostMessageW(top, WM_CLOSE, 0, 0);
                    } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                        if (Window* w = Find(top)) {
                            w->frameChanged = true;
                        }
                    }
                }
                break;
            case SDL_QUIT:
                PostQuitMessage(0);
                break;
            default:
                break;  // the wake-up event and others only end the wait
        }
    }

    std::uint32_t wakeEvent_;
    std::map<HWND, SDL_Window*> windows_;
};

SdlBackend* sdlBackend = nullptr;

}  // namespace

std::unique_ptr<DisplayBackend> MakeSdlBackend() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL display not available: %s\n", SDL_GetError());
        return nullptr;
    }
    auto backend = std::make_unique<SdlBackend>();
    sdlBackend = backend.get();
    return backend;
}

}  // namespace platform::user

namespace platform {

bool ReadPresentedFrame(HWND topLevel, PixelSurface* frame) {
    if (frame == nullptr) {
        return false;
    }
    if (CurrentDisplay() == Display::Sdl && user::sdlBackend != nullptr) {
        return user::sdlBackend->ReadFrame(topLevel, frame);
    }
    const PixelSurface* surface = GetWindowSurface(topLevel);
    if (surface == nullptr) {
        return false;
    }
    *frame = *surface;
    return true;
}

std::uint32_t GetDisplayWindowId(HWND topLevel) {
    return CurrentDisplay() == Display::Sdl && user::sdlBackend != nullptr
               ? user::sdlBackend->WindowId(topLevel)
               : 0;
}

}  // namespace platform
