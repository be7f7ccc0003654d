// The display's choice as a program without a window meets it: the SDL module is loaded only
// when the SDL display is chosen, and a machine without a display falls back to headless.
#include <gtest/gtest.h>
#include <link.h>

#include <cstdlib>
#include <string>

#include "platform/gdi.h"
#include "platform/user.h"

namespace {

// True when a file whose name ends in `name` is mapped into this process.
bool Loaded(const std::string& name) {
    struct Search {
        std::string name;
        bool found = false;
    } search{name};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            const std::string file = info->dlpi_name != nullptr ? info->dlpi_name : "";
            if (file.size() >= s->name.size() &&
                file.compare(file.size() - s->name.size(), s->name.size(), s->name) == 0) {
                s->found = true;
            }
            return 0;
        },
        &search);
    return search.found;
}

LRESULT PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(DisplayChoice, WithoutADisplayTheSdlChoiceFallsBackToHeadless) {
    // The loader finds the layer's libraries, so the check below can see one.
    ASSERT_TRUE(Loaded("/libplatform_user.so"));
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("FORECOURT_DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);

    // A window on the default display does not load the SDL module.
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = u"DisplayChoiceTest";
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND top = CreateWindowExW(0, u"DisplayChoiceTest", u"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 10,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(platform::CurrentDisplay(), platform::Display::Headless);
    EXPECT_FALSE(Loaded("/libplatform_display_sdl.so"));
    // Windows exist: the display stays as it is.
    EXPECT_FALSE(platform::SelectDisplay(platform::Display::Sdl));
    DestroyWindow(top);

    // Chosen with no display to open: headless still, and frames still read.
    EXPECT_FALSE(platform::SelectDisplay(platform::Display::Sdl));
    EXPECT_EQ(platform::CurrentDisplay(), platform::Display::Headless);
    top = CreateWindowExW(0, u"DisplayChoiceTest", u"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 10,
                          nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    platform::PixelSurface frame;
    ASSERT_TRUE(platform::ReadPresentedFrame(top, &frame));
    EXPECT_EQ(frame.width, 20);
    EXPECT_EQ(frame.height, 10);
    EXPECT_EQ(platform::GetDisplayWindowId(top), 0u);
    DestroyWindow(top);
}

}  // namespace
