// The property frame: its window, its title band and its modal loop.
#include "apps/control-host/property_frame.h"

#include <algorithm>

#include "platform/com_ptr.h"
#include "platform/gdi.h"
#include "platform/property_page_window.h"
#include "platform/text_conversion.h"

namespace property_frame {

namespace {

constexpr int kMargin = 6;  // between the frame's edge and the page

struct FrameState {
    bool open = true;
    bool applied = false;
};

FrameState* StateOf(HWND hwnd) {
    return reinterpret_cast<FrameState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void PaintTitle(HWND hwnd) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    RECT band{0, 0, client.right, kTitleHeight};
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
    FillRect(dc, &band, brush);
    DeleteObject(reinterpret_cast<HGDIOBJ>(brush));

    LOGFONTW lf{};
    lf.lfHeight = -11;  // 8 points
    lf.lfWeight = 700;
    const std::u16string face = u"MS Sans Serif";
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    char16_t title[256] = {};
    const int length = GetWindowTextW(hwnd, title, 256);
    RECT text{kMargin, 0, client.right - kMargin, kTitleHeight};
    DrawTextW(dc, title, length, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(reinterpret_cast<HGDIOBJ>(font));
    EndPaint(hwnd, &ps);
}

LRESULT FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintTitle(hwnd);
            return 0;
        case WM_CLOSE:
            if (FrameState* state = StateOf(hwnd))
                state->open = false;
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool Registered() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &FrameProc;
        wc.hbrBackground = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
        wc.lpszClassName = u"ControlHostPropertyFrame";
        return RegisterClassW(&wc) != 0;
    }();
    return registered;
}

// Whether `hwnd` is `frame` or one of its child windows, at any depth.
bool IsWithin(HWND hwnd, HWND frame) {
    for (HWND h = hwnd; h != nullptr; h = GetParent(h)) {
        if (h == frame)
            return true;
        if ((GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) == 0)
            return false;
    }
    return false;
}

}  // namespace

HRESULT Run(IPropertyPage* page, const std::u16string& caption, HWND owner, std::ostream& out,
            Outcome* outcome) {
    const auto window = ComPtr<IPropertyPage>(page).As<IPropertyPageWindow>();
    if (!window) {
        return E_NOINTERFACE;
    }
    if (!Registered()) {
        return E_FAIL;
    }
    RECT ownerRect{};
    if (owner != nullptr)
        GetWindowRect(owner, &ownerRect);
    HWND frame = CreateWindowExW(0, u"ControlHostPropertyFrame", caption.c_str(),
                                 WS_POPUP | WS_BORDER, ownerRect.left + 20, ownerRect.top + 20, 100,
                                 100, owner, nullptr, nullptr, nullptr);
    if (frame == nullptr) {
        return E_FAIL;
    }
    FrameState state;
    SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    const RECT place{kMargin, kTitleHeight + kMargin, kMargin, kTitleHeight + kMargin};
    const HRESULT hr = window->Activate(frame, &place, TRUE);
    if (FAILED(hr)) {
        DestroyWindow(frame);
        return hr;
    }
    // The frame fits the page, whose size its own dialog font decides.
    RECT pageRect{};
    if (HWND pageWindow = GetWindow(frame, GW_CHILD))
        GetWindowRect(pageWindow, &pageRect);
    RECT outer{}, inner{};
    GetWindowRect(frame, &outer);
    GetClientRect(frame, &inner);
    const int width =
        pageRect.right - pageRect.left + 2 * kMargin + (outer.right - outer.left - inner.right);
    const int height = pageRect.bottom - pageRect.top + kTitleHeight + 2 * kMargin +
                       (outer.bottom - outer.top - inner.bottom);
    SetWindowPos(frame, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);

    char16_t title[256] = {};
    GetWindowTextW(frame, title, 256);
    out << "frame \"" << Utf16ToUtf8(Utf16View(title)) << "\" " << width << 'x' << height << '\n';

    const bool disabledOwner = owner != nullptr && IsWindowEnabled(owner);
    if (disabledOwner)
        EnableWindow(owner, FALSE);
    ShowWindow(frame, SW_SHOW);
    SetFocus(frame);

    bool quit = false;
    MSG msg{};
    while (state.open && IsWindow(frame)) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside this one
            quit = true;
            break;
        }
        // The frame's keyboard: Enter applies the page and closes it, Escape closes it.
        if (msg.message == WM_KEYDOWN && IsWithin(msg.hwnd, frame) &&
            (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
            state.applied = msg.wParam == VK_RETURN;
            state.open = false;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (state.applied)
        page->Apply();
    window->Deactivate();
    if (disabledOwner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (IsWindow(frame))
        DestroyWindow(frame);
    *outcome = quit ? Outcome::kQuit : state.applied ? Outcome::kApplied : Outcome::kCancelled;
    if (!quit)
        out << "frame closed (" << (state.applied ? "applied" : "cancelled") << ")\n";
    return S_OK;
}

}  // namespace property_frame
