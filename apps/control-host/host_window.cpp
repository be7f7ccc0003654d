// control-host's window, its in-place site with the ambient properties, and the window
// commands.
#include "apps/control-host/host_window.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <optional>

#include "common/number_word.h"
#include "platform/com_ptr.h"
#include "platform/gdi.h"
#include "platform/ole_defaults.h"
#include "platform/oleauto.h"
#include "platform/std_font.h"
#include "platform/systime.h"
#include "platform/unknown_base.h"
#include "platform/variant_owner.h"

namespace {

constexpr int kDefaultWidth = 160;
constexpr int kDefaultHeight = 120;
constexpr COLORREF kHostBackground = 0x00F0F0F0;  // the dialog face of Windows 10

LRESULT HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ShowWindow(hwnd, SW_HIDE);  // the host keeps its window; `run` ends when it is hidden
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct AmbientName {
    const char* name;
    DISPID dispid;
};
constexpr AmbientName kAmbients[] = {
    {"backcolor", DISPID_AMBIENT_BACKCOLOR}, {"displayname", DISPID_AMBIENT_DISPLAYNAME},
    {"font", DISPID_AMBIENT_FONT},           {"forecolor", DISPID_AMBIENT_FORECOLOR},
    {"localeid", DISPID_AMBIENT_LOCALEID},   {"usermode", DISPID_AMBIENT_USERMODE}};

LONG HimetricToPixels(LONG himetric) {
    return static_cast<LONG>(std::lround(himetric * 96.0 / 2540.0));
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

// The container's in-place site and ambient dispatch: the window the control goes into and
// the ambient values the host was given (none by default: the control falls back to Windows'
// defaults).
class WindowSite final : public CountedObject<OleInPlaceSiteDefaults, IDispatch> {
  public:
    explicit WindowSite(HostWindow& host) : host_(host) {}

    // IOleInPlaceSite.
    HRESULT GetWindow(HWND* phwnd) override {
        if (phwnd == nullptr) {
            return E_POINTER;
        }
        *phwnd = host_.Handle();
        return *phwnd != nullptr ? S_OK : E_FAIL;
    }
    HRESULT CanInPlaceActivate() override { return host_.Handle() != nullptr ? S_OK : S_FALSE; }
    HRESULT OnInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceDeactivate() override { return S_OK; }
    HRESULT OnPosRectChange(LPCRECT) override { return S_OK; }

    // IDispatch: property gets of the ambient values set so far.
    HRESULT GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                   EXCEPINFO*, UINT*) override {
        auto it = ambients_.find(dispid);
        if ((flags & DISPATCH_PROPERTYGET) == 0 || it == ambients_.end()) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (result == nullptr) {
            return S_OK;
        }
        VariantInit(result);
        return VariantCopy(result, &it->second.Get());
    }

    // Takes `value` over.
    void Set(DISPID dispid, VARIANT value) { ambients_.insert_or_assign(dispid, Variant(value)); }
    void Clear() { ambients_.clear(); }

  private:
    ~WindowSite() override = default;
    bool AlsoAnswers(REFIID riid) const override { return riid == IID_IOleWindow; }

    HostWindow& host_;
    std::map<DISPID, Variant> ambients_;
};

HostWindow::HostWindow(std::ostream& out) : out_(out), site_(new WindowSite(*this)) {}

HostWindow::~HostWindow() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
    site_->Release();
}

HRESULT HostWindow::QuerySite(REFIID riid, void** ppv) {
    if (riid == IID_IUnknown) {
        *ppv = nullptr;
        return E_NOINTERFACE;  // the control site answers its own identity
    }
    return site_->QueryInterface(riid, ppv);
}

bool HostWindow::Error(const std::string& text) {
    out_ << "error: " << text << '\n';
    return false;
}

bool HostWindow::EnsureWindow() {
    if (hwnd_ != nullptr) {
        return true;
    }
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &HostProc;
        wc.hbrBackground = CreateSolidBrush(kHostBackground);
        wc.lpszClassName = u"ControlHostWindow";
        return RegisterClassW(&wc) != 0;
    }();
    if (platform::CurrentDisplay() == platform::Display::Headless) {
        platform::StartScriptedClock();  // the same output every run
    }
    hwnd_ = registered
                ? CreateWindowExW(0, u"ControlHostWindow", u"control-host", WS_VISIBLE, 100, 100,
                                  kDefaultWidth, kDefaultHeight, nullptr, nullptr, nullptr, nullptr)
                : nullptr;
    if (hwnd_ == nullptr) {
        return Error("the host window cannot be created");
    }
    Pump();
    return true;
}

void HostWindow::Pump() {
    platform::DispatchPendingMessages();
}

HWND HostWindow::ControlWindow(IDispatch* control) {
    if (control == nullptr) {
        return nullptr;
    }
    const ComPtr<IOleInPlaceObject> inplace = ComPtr<IDispatch>(control).As<IOleInPlaceObject>();
    HWND hwnd = nullptr;
    if (!inplace || FAILED(inplace->GetWindow(&hwnd))) {
        hwnd = nullptr;
    }
    return hwnd;
}

bool HostWindow::Point(const std::string& command, const char* usage, const Words& args,
                       POINT* pt) {
    if (args.size() != 2) {
        return Error(usage);
    }
    POINT read{0, 0};
    std::string error;
    if (!ReadNumberWord<LONG>(command + " X", args[0].text, -32768, 32767, read.x, error) ||
        !ReadNumberWord<LONG>(command + " Y", args[1].text, -32768, 32767, read.y, error)) {
        return Error(error);
    }
    *pt = read;
    return true;
}

bool HostWindow::Show(IDispatch* control, const Words& args) {
    POINT at{0, 0};
    if (!args.empty() && !Point("show", "usage: show [X Y]", args, &at)) {
        return false;
    }
    if (control == nullptr) {
        return Error("no control (use create)");
    }
    if (!EnsureWindow()) {
        return false;
    }
    const auto object = ComPtr<IDispatch>(control).As<IOleObject>();
    if (!object) {
        return Error("the control cannot be shown (no IOleObject)");
    }
    SIZEL extent{};
    object->GetExtent(DVASPECT_CONTENT, &extent);
    SIZE size{HimetricToPixels(extent.cx), HimetricToPixels(extent.cy)};
    // The host window grows to hold the control.
    RECT client;
    GetClientRect(hwnd_, &client);
    if (at.x + size.cx > client.right || at.y + size.cy > client.bottom) {
        SetWindowPos(hwnd_, nullptr, 0, 0, std::max<LONG>(client.right, at.x + size.cx),
                     std::max<LONG>(client.bottom, at.y + size.cy), SWP_NOMOVE | SWP_NOZORDER);
    }
    const RECT position{at.x, at.y, at.x + size.cx, at.y + size.cy};
    const HRESULT hr =
        object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, hwnd_, &position);
    if (FAILED(hr)) {
        return Error("the control cannot be activated in place: " + HResultText(hr));
    }
    Pump();
    return Window(control, {});
}

bool HostWindow::Paint(const Words& args) {
    if (args.size() != 1) {
        return Error("usage: paint FILE.png");
    }
    if (!EnsureWindow()) {
        return false;
    }
    Pump();
    platform::PixelSurface frame;
    if (!ReadScreen(&frame)) {
        return Error("the host window shows no frame");
    }
    std::string failure;
    if (!WritePng(frame, args[0].text.c_str(), &failure)) {
        return Error("cannot write " + args[0].text + ": " + failure);
    }
    out_ << "painted=" << args[0].text << ' ' << frame.width << 'x' << frame.height << '\n';
    return true;
}

namespace {

// Whether top-level window `hwnd` is owned by `owner`, directly or through other windows.
bool OwnedBy(HWND hwnd, HWND owner) {
    for (HWND h = GetWindow(hwnd, GW_OWNER); h != nullptr; h = GetWindow(h, GW_OWNER)) {
        if (h == owner) {
            return true;
        }
    }
    return false;
}

struct OwnedWindows {
    HWND owner;
    std::vector<HWND> found;  // topmost first
};

BOOL CollectOwned(HWND hwnd, LPARAM lParam) {
    auto* owned = reinterpret_cast<OwnedWindows*>(lParam);
    if (IsWindowVisible(hwnd) && OwnedBy(hwnd, owned->owner)) {
        owned->found.push_back(hwnd);
    }
    return TRUE;
}

constexpr std::uint32_t kScreenBackground = 0x00404040;  // 0x00RRGGBB, around the windows

void Blit(const platform::PixelSurface& from, int x, int y, platform::PixelSurface* to) {
    for (int row = 0; row < from.height; ++row) {
        for (int col = 0; col < from.width; ++col) {
            const int tx = x + col;
            const int ty = y + row;
            if (tx >= 0 && ty >= 0 && tx < to->width && ty < to->height) {
                to->at(tx, ty) = from.at(col, row);
            }
        }
    }
}

}  // namespace

bool HostWindow::ReadScreen(platform::PixelSurface* screen) {
    if (!platform::ReadPresentedFrame(hwnd_, screen)) {
        return false;
    }
    OwnedWindows owned{hwnd_, {}};
    EnumWindows(&CollectOwned, reinterpret_cast<LPARAM>(&owned));
    if (owned.found.empty()) {
        return true;
    }
    // The host and the windows it owns, as the screen shows them: the box around them all.
    RECT box;
    GetWindowRect(hwnd_, &box);
    const RECT host = box;
    for (HWND h : owned.found) {
        RECT r;
        GetWindowRect(h, &r);
        UnionRect(&box, &box, &r);
    }
    platform::PixelSurface composed;
    composed.Reset(box.right - box.left, box.bottom - box.top, kScreenBackground);
    Blit(*screen, host.left - box.left, host.top - box.top, &composed);
    for (auto it = owned.found.rbegin(); it != owned.found.rend(); ++it) {
        platform::PixelSurface frame;
        RECT r;
        GetWindowRect(*it, &r);
        if (platform::ReadPresentedFrame(*it, &frame)) {
            Blit(frame, r.left - box.left, r.top - box.top, &composed);
        }
    }
    *screen = std::move(composed);
    return true;
}

bool HostWindow::Click(const Words& args, bool twice) {
    POINT pt;
    if (!Point(twice ? "dblclick" : "click", twice ? "usage: dblclick X Y" : "usage: click X Y",
               args, &pt)) {
        return false;
    }
    if (!EnsureWindow()) {
        return false;
    }
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
        platform::QueueMouseInput(hwnd_, WM_LBUTTONDOWN, pt);
        platform::QueueMouseInput(hwnd_, WM_LBUTTONUP, pt);
    }
    if (!queueInputOnly_) {
        Pump();
    }
    return true;
}

bool HostWindow::Key(const Words& args) {
    const UINT vk = args.size() == 1 ? platform::VirtualKeyFromName(args[0].text) : 0;
    if (vk == 0) {
        return Error(args.size() == 1 ? "unknown key \"" + args[0].text + "\"" : "usage: key NAME");
    }
    if (!EnsureWindow()) {
        return false;
    }
    platform::QueueKeyInput(vk, true);
    platform::QueueKeyInput(vk, false);
    if (!queueInputOnly_) {
        Pump();
    }
    return true;
}

bool HostWindow::Wait(int ms) {
    if (!EnsureWindow()) {
        return false;
    }
    if (platform::CurrentDisplay() == platform::Display::Headless) {
        platform::AdvanceScriptedClock(static_cast<DWORD>(ms));
        return true;
    }
    // A real display: run the loop for that long in real time. The script waits meanwhile:
    // its lines are not fed to the loop.
    const auto suspended = platform::SetIdleHook(nullptr);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(std::max<long long>(ms, 10)), nullptr);
    MSG msg{};
    while (std::chrono::steady_clock::now() < end && GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    KillTimer(nullptr, timer);
    platform::SetIdleHook(suspended);
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
    }
    return true;
}

bool HostWindow::Run(const Words& args) {
    if (!args.empty()) {
        return Error("usage: run");
    }
    if (!EnsureWindow()) {
        return false;
    }
    if (platform::CurrentDisplay() == platform::Display::Headless) {
        Pump();  // nobody can close a headless window: nothing to wait for
        return true;
    }
    // The user plays: the script's lines are not fed to the loops meanwhile.
    const auto suspended = platform::SetIdleHook(nullptr);
    MSG msg;
    while (IsWindowVisible(hwnd_) && GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    platform::SetIdleHook(suspended);
    return true;
}

bool HostWindow::Beeps(const Words& args) {
    if (!args.empty()) {
        return Error("usage: beeps");
    }
    out_ << "beeps=" << platform::GetMessageBeepCount() << '\n';
    return true;
}

bool HostWindow::Ambient(IDispatch* control, const Words& args) {
    if (args.size() != 2) {
        return Error("usage: ambient NAME VALUE");
    }
    const std::string name = Lower(args[0].text);
    const AmbientName* ambient = nullptr;
    for (const AmbientName& a : kAmbients) {
        if (name == a.name) {
            ambient = &a;
        }
    }
    if (ambient == nullptr) {
        return Error("unknown ambient property \"" + args[0].text +
                     "\" (BackColor, DisplayName, Font, ForeColor, LocaleID, UserMode)");
    }
    VARIANT value;
    VariantInit(&value);
    const std::string& text = args[1].text;
    DWORD number = 0;
    std::string error;
    switch (ambient->dispid) {
        case DISPID_AMBIENT_BACKCOLOR:
        case DISPID_AMBIENT_FORECOLOR:
        case DISPID_AMBIENT_LOCALEID:
            if (!ReadNumberWord<DWORD>(args[0].text, text, 0, 0xFFFFFFFF, number, error,
                                       "a colour 0x00BBGGRR or a decimal number",
                                       NumberBase::kDecimalOrHex)) {
                return Error(error);
            }
            value.vt = VT_I4;
            value.lVal = static_cast<LONG>(number);
            break;
        case DISPID_AMBIENT_USERMODE:
            if (Lower(text) != "true" && Lower(text) != "false") {
                return Error("UserMode is true or false");
            }
            value.vt = VT_BOOL;
            value.boolVal = Lower(text) == "true" ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case DISPID_AMBIENT_DISPLAYNAME:
            value.vt = VT_BSTR;
            value.bstrVal = BstrFromUtf8(text);
            break;
        default: {  // the font: FACE,SIZE[,bold][,italic]
            std::vector<std::string> parts;
            std::size_t start = 0;
            for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos;
                 start = comma + 1) {
                parts.push_back(text.substr(start, comma - start));
            }
            parts.push_back(text.substr(start));
            const std::optional<double> read =
                parts.size() >= 2 ? ParseNumberWord<double>(parts[1], 0, 1000) : std::nullopt;
            if (parts.size() < 2 || parts[0].empty() || !read || !(*read > 0 && *read < 1000)) {
                return Error("usage: ambient Font \"FACE,SIZE[,bold][,italic]\"");
            }
            const double points = *read;
            BSTR face = BstrFromUtf8(parts[0]);
            FONTDESC desc{sizeof(FONTDESC),
                          face,
                          CY{static_cast<LONGLONG>(points * 10000 + 0.5)},
                          FW_NORMAL,
                          0,
                          FALSE,
                          FALSE,
                          FALSE};
            for (std::size_t i = 2; i < parts.size(); ++i) {
                if (Lower(parts[i]) == "bold") {
                    desc.sWeight = FW_BOLD;
                } else if (Lower(parts[i]) == "italic") {
                    desc.fItalic = TRUE;
                }
            }
            IDispatch* font = nullptr;
            OleCreateFontIndirect(&desc, IID_IDispatch, reinterpret_cast<void**>(&font));
            SysFreeString(face);  // the font object keeps a copy
            value.vt = VT_DISPATCH;
            value.pdispVal = font;
            break;
        }
    }
    site_->Set(ambient->dispid, value);
    // The control reads ambients when it paints: show it again with the new value.
    if (HWND window = ControlWindow(control)) {
        InvalidateRect(window, nullptr, TRUE);
        Pump();
    }
    out_ << "ok\n";
    return true;
}

bool HostWindow::Window(IDispatch* control, const Words& args) {
    if (!args.empty()) {
        return Error("usage: window");
    }
    HWND window = ControlWindow(control);
    if (window == nullptr) {
        out_ << "window=none\n";
        return true;
    }
    RECT rect;
    GetWindowRect(window, &rect);
    POINT origin{rect.left, rect.top};
    ScreenToClient(hwnd_, &origin);
    out_ << "window=" << origin.x << ',' << origin.y << ' ' << (rect.right - rect.left) << 'x'
         << (rect.bottom - rect.top) << ' ' << (IsWindowVisible(window) ? "visible" : "hidden")
         << '\n';
    return true;
}

void HostWindow::Deactivate(IDispatch* control) {
    if (control == nullptr) {
        return;
    }
    if (const auto inplace = ComPtr<IDispatch>(control).As<IOleInPlaceObject>()) {
        inplace->InPlaceDeactivate();
    }
    Pump();
}
