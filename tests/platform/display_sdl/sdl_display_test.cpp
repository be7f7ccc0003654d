// The SDL display backend under a virtual X server (run by xvfb-run): a window opens and shows
// its frame, a click given to SDL arrives as WM_LBUTTONDOWN, and the frame shown equals the
// headless backend's frame of the same window pixel for pixel; a repaint sends only its
// rectangle; a zoomed display shows every pixel as a square and maps clicks back.
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi.h"
#include "platform/user.h"

namespace {

std::vector<MSG> clicks;
COLORREF field = RGB(0x20, 0x40, 0xC0);  // the blue field's colour, changed by a test

// Paints a picture with some structure: a blue field, a red block and a border.
LRESULT PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        HBRUSH blue = CreateSolidBrush(field);
        HBRUSH red = CreateSolidBrush(RGB(0xE0, 0x10, 0x10));
        RECT all{0, 0, 64, 48};
        RECT block{8, 6, 30, 20};
        FillRect(hdc, &all, blue);
        FillRect(hdc, &block, red);
        DeleteObject(reinterpret_cast<HGDIOBJ>(blue));
        DeleteObject(reinterpret_cast<HGDIOBJ>(red));
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_LBUTTONDOWN) {
        clicks.push_back(MSG{hwnd, message, wParam, lParam, 0, {0, 0}});
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &PictureProc;
        wc.lpszClassName = u"SdlTestPicture";
        return RegisterClassW(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    HWND top = CreateWindowExW(0, u"SdlTestPicture", u"sdl test", WS_VISIBLE | WS_BORDER, 40, 40,
                               66, 50, nullptr, nullptr, nullptr, nullptr);
    // A child with its own picture, to show the composition.
    CreateWindowExW(0, u"SdlTestPicture", u"", WS_CHILD | WS_VISIBLE, 30, 20, 20, 16, top, nullptr,
                    nullptr, nullptr);
    return top;
}

// Runs the message loop until `done` or a two-second safety timer ends it.
void RunUntil(const std::function<bool()>& done) {
    const UINT_PTR safety = SetTimer(nullptr, 0, 2000, nullptr);
    MSG msg;
    while (!done() && GetMessageW(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == safety) {
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    KillTimer(nullptr, safety);
}

TEST(SdlDisplay, ShowsTheFrameTakesAClickAndMatchesHeadless) {
    ASSERT_TRUE(platform::SelectDisplay(platform::Display::Sdl)) << "no SDL display";
    HWND top = MakeWindow();
    platform::DispatchPendingMessages();
    ASSERT_NE(platform::GetDisplayWindowId(top), 0u) << "no SDL window opened";
    platform::PixelSurface shown;
    ASSERT_TRUE(platform::ReadPresentedFrame(top, &shown));
    ASSERT_EQ(shown.width, 66);
    ASSERT_EQ(shown.height, 50);
    EXPECT_EQ(shown.at(0, 0), 0x000000u);    // the border
    EXPECT_EQ(shown.at(10, 10), 0xE01010u);  // the red block
    EXPECT_EQ(shown.at(60, 5), 0x2040C0u);   // the blue field
    EXPECT_EQ(shown.at(36, 26), 0x2040C0u);  // the child's field
    EXPECT_EQ(shown.at(41, 28), 0xE01010u);  // the child's block

    // A click as SDL delivers it, at window pixel (41, 28): inside the child's red block.
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = platform::GetDisplayWindowId(top);
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.x = 41;
    event.button.y = 28;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    RunUntil([] { return !clicks.empty(); });
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].hwnd, GetWindow(top, GW_CHILD));
    EXPECT_EQ(GET_X_LPARAM(clicks[0].lParam), 41 - 1 - 30);
    EXPECT_EQ(GET_Y_LPARAM(clicks[0].lParam), 28 - 1 - 20);

    // The same window headless gives the same pixels.
    DestroyWindow(top);
    ASSERT_TRUE(platform::SelectDisplay(platform::Display::Headless));
    top = MakeWindow();
    platform::DispatchPendingMessages();
    const platform::PixelSurface* headless = platform::GetWindowSurface(top);
    ASSERT_NE(headless, nullptr);
    ASSERT_EQ(headless->width, shown.width);
    ASSERT_EQ(headless->height, shown.height);
    EXPECT_TRUE(headless->pixels == shown.pixels);
    DestroyWindow(top);
}

// Queues a left-button press as SDL gives it at display pixel (x, y) of `top`'s window.
void PushClick(HWND top, int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = platform::GetDisplayWindowId(top);
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.x = x;
    event.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

TEST(SdlDisplay, ARepaintSendsOnlyItsRectangle) {
    ASSERT_TRUE(platform::SelectDisplay(platform::Display::Sdl)) << "no SDL display";
    HWND top = MakeWindow();
    platform::DispatchPendingMessages();
    // A pixel of the frame changed behind the window system's back: only a present of the
    // whole frame would show it.
    auto* frame = const_cast<platform::PixelSurface*>(platform::GetWindowSurface(top));
    ASSERT_NE(frame, nullptr);
    frame->at(60, 40) = 0x00FF00;
    field = RGB(0x10, 0x90, 0x10);
    const RECT corner{50, 2, 60, 10};  // client coordinates of the top-level window
    InvalidateRect(top, &corner, FALSE);
    platform::DispatchPendingMessages();
    platform::PixelSurface shown;
    ASSERT_TRUE(platform::ReadPresentedFrame(top, &shown));
    EXPECT_EQ(shown.at(55, 5), 0x109010u);   // repainted: shown
    EXPECT_EQ(shown.at(45, 5), 0x2040C0u);   // outside the repaint: as before
    EXPECT_EQ(shown.at(60, 40), 0x2040C0u);  // changed but not repainted: not sent
    field = RGB(0x20, 0x40, 0xC0);
    DestroyWindow(top);
}

TEST(SdlDisplay, AZoomedDisplayEnlargesTheFrameAndMapsClicksBack) {
    ASSERT_TRUE(platform::SelectDisplay(platform::Display::Headless));
    HWND top = MakeWindow();
    platform::DispatchPendingMessages();
    const platform::PixelSurface headless = *platform::GetWindowSurface(top);
    DestroyWindow(top);

    ASSERT_TRUE(platform::SelectDisplay(platform::Display::Sdl)) << "no SDL display";
    EXPECT_FALSE(platform::SetDisplayZoom(0));
    EXPECT_FALSE(platform::SetDisplayZoom(platform::kMaxDisplayZoom + 1));
    ASSERT_TRUE(platform::SetDisplayZoom(3));
    top = MakeWindow();
    platform::DispatchPendingMessages();
    platform::PixelSurface shown;
    ASSERT_TRUE(platform::ReadPresentedFrame(top, &shown));
    ASSERT_EQ(shown.width, 66 * 3);
    ASSERT_EQ(shown.height, 50 * 3);
    bool same = true;
    for (int y = 0; y < shown.height && same; ++y) {
        for (int x = 0; x < shown.width && same; ++x) {
            same = shown.at(x, y) == headless.at(x / 3, y / 3);
        }
    }
    EXPECT_TRUE(same) << "the zoomed frame is not the frame enlarged";

    // Display pixels (123..125, 84..86) all lie on window pixel (41, 28), in the child's block;
    // (89, 59) lies on window pixel (29, 19), just outside the child.
    clicks.clear();
    PushClick(top, 125, 84);
    PushClick(top, 89, 59);
    RunUntil([] { return clicks.size() == 2; });
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].hwnd, GetWindow(top, GW_CHILD));
    EXPECT_EQ(GET_X_LPARAM(clicks[0].lParam), 41 - 1 - 30);
    EXPECT_EQ(GET_Y_LPARAM(clicks[0].lParam), 28 - 1 - 20);
    EXPECT_EQ(clicks[1].hwnd, top);
    EXPECT_EQ(GET_X_LPARAM(clicks[1].lParam), 29 - 1);
    EXPECT_EQ(GET_Y_LPARAM(clicks[1].lParam), 19 - 1);

    // Back to 1:1, the window shows its own size again.
    ASSERT_TRUE(platform::SetDisplayZoom(1));
    platform::DispatchPendingMessages();
    ASSERT_TRUE(platform::ReadPresentedFrame(top, &shown));
    EXPECT_EQ(shown.width, 66);
    EXPECT_TRUE(shown.pixels == headless.pixels);
    DestroyWindow(top);
    clicks.clear();
}

}  // namespace
