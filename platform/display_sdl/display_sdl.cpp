// The SDL display backend: one real window per shown top-level window, the changed rectangles
// of its frame copied to the window's surface (enlarged by the display zoom) and sent to the
// screen at most once per present interval, SDL's mouse and keyboard events queued as input
// (their positions mapped back through the zoom), and the message loop sleeping in
// SDL_WaitEventTimeout until the next timer or event.
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

#include "platform/gdi.h"
#include "platform/user/user_internal.h"

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

// A present of many small changes sends their bounds instead of each one.
constexpr std::size_t kMaxRects = 32;
// About one present per frame of a 60 Hz screen.
constexpr int kPresentIntervalMs = 16;

// The window pixel under display pixel (x, y) of a window shown `zoom` times enlarged.
POINT WindowPointOfDisplay(int x, int y, int zoom) {
    return POINT{x / zoom, y / zoom};
}

// Copies `r` (display pixels, inside the zoomed frame) of `frame` enlarged `zoom` times into
// the locked `surface`.
void CopyToSurface(const PixelSurface& frame, const SDL_Rect& r, int zoom, SDL_Surface* surface) {
    auto* target = static_cast<std::uint8_t*>(surface->pixels) +
                   static_cast<std::ptrdiff_t>(r.y) * surface->pitch +
                   static_cast<std::ptrdiff_t>(r.x) * surface->format->BytesPerPixel;
    if (r.x + r.w > surface->w || r.y + r.h > surface->h) {
        return;  // the window has not taken its new size yet; the next present is whole
    }
    if (zoom == 1) {
        SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_RGB888,
                          &frame.pixels[static_cast<std::size_t>(r.y) * frame.width + r.x],
                          frame.width * 4, surface->format->format, target, surface->pitch);
        return;
    }
    std::vector<std::uint32_t> enlarged(static_cast<std::size_t>(r.w) * r.h);
    for (int y = 0; y < r.h; ++y) {
        const std::uint32_t* row =
            &frame.pixels[static_cast<std::size_t>((r.y + y) / zoom) * frame.width];
        for (int x = 0; x < r.w; ++x) {
            enlarged[static_cast<std::size_t>(y) * r.w + x] = row[(r.x + x) / zoom];
        }
    }
    SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_RGB888, enlarged.data(), r.w * 4,
                      surface->format->format, target, surface->pitch);
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

    void Present(HWND topLevel, const PixelSurface& frame, bool visible,
                 const std::vector<RECT>& changed) override {
        SDL_Window* window = WindowFor(topLevel, frame, visible);
        if (window == nullptr) {
            return;
        }
        if (!visible) {
            SDL_HideWindow(window);
            return;
        }
        if ((SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN) != 0) {
            SDL_ShowWindow(window);
        }
        const int zoom = DisplayZoom();
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(window, &w, &h);
        if (w != frame.width * zoom || h != frame.height * zoom) {
            SDL_SetWindowSize(window, std::max(1, frame.width * zoom),
                              std::max(1, frame.height * zoom));
        }
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        if (surface == nullptr || frame.width == 0 || frame.height == 0) {
            return;
        }
        // A new surface (a new or resized window, another zoom) gets the whole frame; else
        // only the changed rectangles are copied and sent to the screen.
        Shown& shown = shown_[topLevel];
        const bool whole = shown.surface != surface || shown.zoom != zoom;
        shown.surface = surface;
        shown.zoom = zoom;
        const RECT all{0, 0, frame.width, frame.height};
        std::vector<SDL_Rect> rects;
        auto add = [&](const RECT& r) {
            const RECT c = RectIntersection(r, all);
            if (!RectEmpty(c)) {
                rects.push_back(SDL_Rect{c.left * zoom, c.top * zoom, (c.right - c.left) * zoom,
                                         (c.bottom - c.top) * zoom});
            }
        };
        if (whole) {
            add(all);
        } else if (changed.size() > kMaxRects) {
            RECT bounds = changed.front();
            for (const RECT& r : changed) {
                UnionRect(&bounds, &bounds, &r);
            }
            add(bounds);
        } else {
            for (const RECT& r : changed) {
                add(r);
            }
        }
        if (rects.empty()) {
            return;
        }
        SDL_LockSurface(surface);
        for (const SDL_Rect& r : rects) {
            CopyToSurface(frame, r, zoom, surface);
        }
        SDL_UnlockSurface(surface);
        SDL_UpdateWindowSurfaceRects(window, rects.data(), static_cast<int>(rects.size()));
    }

    int PresentIntervalMs() const override { return kPresentIntervalMs; }

    void WindowDestroyed(HWND topLevel) override {
        auto it = windows_.find(topLevel);
        if (it != windows_.end()) {
            SDL_DestroyWindow(it->second);
            windows_.erase(it);
        }
        shown_.erase(topLevel);
    }

    void Beep() override {
        if (isatty(STDERR_FILENO)) {
            std::fputc('\a', stderr);
            std::fflush(stderr);
        }
    }

    bool ReadFrame(HWND topLevel, PixelSurface* out) override {
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

    std::uint32_t WindowId(HWND topLevel) override {
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
        SDL_Window* window = SDL_CreateWindow(
            title.c_str(), rect.left, rect.top, std::max(1, frame.width * DisplayZoom()),
            std::max(1, frame.height * DisplayZoom()), SDL_WINDOW_SHOWN);
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
        const POINT pt = WindowPointOfDisplay(x, y, DisplayZoom());
        QueueMouseInput(top, message, POINT{pt.x - b, pt.y - b});
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
                            FrameChanged(*w);
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

    // What a window's surface last received: another surface or zoom needs the whole frame.
    struct Shown {
        SDL_Surface* surface = nullptr;
        int zoom = 0;
    };

    std::uint32_t wakeEvent_;
    std::map<HWND, SDL_Window*> windows_;
    std::map<HWND, Shown> shown_;
};

}  // namespace

}  // namespace platform::user

// The module's one entry point, found by the display code with dlsym; the caller owns the
// backend, and the module stays loaded for the rest of the process.
extern "C" __attribute__((visibility("default"))) platform::user::DisplayBackend*
CreateSdlDisplayBackend() {
    // The window system's own image transfer, which sends only the changed rectangles: an
    // accelerated window surface draws the whole window as a texture for every present, and
    // without a graphics card (a virtual X server, a thin client) that is software rendering.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL display not available: %s\n", SDL_GetError());
        return nullptr;
    }
    return new platform::user::SdlBackend;
}
