// The forecourt window.
#include "apps/forecourt/forecourt_window.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "apps/forecourt/event_sink.h"
#include "apps/program_files/program_files.h"
#include "client/kestro_automation.h"
#include "control/tolvan_ids.h"
#include "kestro/automation/client_type_library.h"
#include "platform/bstr.h"
#include "platform/dispatch_call.h"
#include "platform/oleauto.h"
#include "platform/systime.h"
#include "platform/text_conversion.h"
#include "platform/variant_values.h"

namespace forecourt {

namespace {

constexpr char16_t kWindowClass[] = u"ForecourtWindow";
constexpr char16_t kClientProgId[] = u"Kestro.Client.1";
constexpr UINT_PTR kEndTimer = 1;
constexpr UINT_PTR kShotTimer = 2;
constexpr COLORREF kBackground = 0x00F0F0F0;  // the dialog face of Windows 10
constexpr COLORREF kStripBackground = 0x00FFFFFF;
constexpr COLORREF kCurrentBand = 0x00803000;   // dark blue band under the current pump
constexpr std::uint32_t kDesktop = 0x00606060;  // around a popup standing out of the window
constexpr int kMaxPumpId = 99;
constexpr LONG kCallTimeoutMs = 5000;

Forecourt* g_forecourt = nullptr;

template <class Handle>
HGDIOBJ Obj(Handle handle) {
    return reinterpret_cast<HGDIOBJ>(handle);
}  // the one forecourt of the process, for its procedure

using platform::Invoke;
using platform::variants::BstrRef;
using platform::variants::ByRef;
using platform::variants::I4;
using platform::variants::Text;

// The arguments of an event in their natural order.
const VARIANT& Arg(const DISPPARAMS& args, UINT index) {
    static VARIANT empty{};
    return index < args.cArgs ? args.rgvarg[args.cArgs - 1 - index] : empty;
}

// The pumps of the station in number order: each ID from 1 to 99 whose properties read.
std::vector<long> StationPumps(IDispatch* client) {
    std::vector<long> pumps;
    for (long id = 1; id <= kMaxPumpId; ++id) {
        LONG number = 0;
        Bstr name;
        SHORT shorts[13] = {};
        LONG port = 0;
        LONG attendant = 0;
        std::vector<VARIANT> args(18);
        args[0] = I4(static_cast<LONG>(id));
        args[1] = ByRef(VT_I4, &number);
        args[2] = BstrRef(name.Out());
        for (int i = 3; i <= 11; ++i) {
            args[i] = ByRef(VT_I2, &shorts[i - 3]);
        }
        args[12] = ByRef(VT_I4, &port);
        args[13] = ByRef(VT_I4, &attendant);
        for (int i = 14; i <= 17; ++i) {
            args[i] = ByRef(VT_I2, &shorts[i - 14 + 9]);
        }
        Variant result;
        const HRESULT hr = Invoke(client, kestro_automation::kReadPumpProperties, DISPATCH_METHOD,
                                  std::move(args), &result);
        if (SUCCEEDED(hr) && result.Type() == VT_I4 && result.Get().lVal == 0) {
            pumps.push_back(id);
        }
    }
    return pumps;
}

HFONT MakeFont(int height, bool bold) {
    LOGFONTW font{};
    font.lfHeight = -height;
    font.lfWeight = bold ? FW_BOLD : 400;
    const std::u16string face = u"Arial";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return CreateFontIndirectW(&font);
}

void DrawUtf8(HDC dc, const std::string& text, RECT rect, UINT format) {
    const std::u16string wide = Utf8ToUtf16(text);
    DrawTextW(dc, reinterpret_cast<LPCWSTR>(wide.c_str()), static_cast<int>(wide.size()), &rect,
              format | DT_NOPREFIX | DT_SINGLELINE);
}

}  // namespace

int Layout::Width() const {
    return std::max(kMinWidth, std::min(columns, std::max(pumps, 1)) * kCellWidth);
}

RECT Layout::FaceRect(int index) const {
    const int left = (index % columns) * kCellWidth + kFaceLeft;
    const int top = (index / columns) * kCellHeight + kFaceTop;
    return RECT{left, top, left + kFace, top + kFace};
}

RECT Layout::NameRect(int index) const {
    const RECT face = FaceRect(index);
    return RECT{face.left - kFaceLeft + 2, face.bottom + 3, face.left - kFaceLeft + kCellWidth - 2,
                face.bottom + 3 + kLineHeight + 2};
}

RECT Layout::StripRect() const {
    return RECT{0, GridHeight(), Width(), Height()};
}

bool EnsureRegistered(const char16_t* progId, const std::string& module, std::string* error) {
    CLSID clsid{};
    if (SUCCEEDED(CLSIDFromProgID(progId, &clsid))) {
        return true;
    }
    const std::string name = Utf16ToUtf8(progId);
    if (module.empty() || !std::filesystem::exists(module)) {
        *error = name +
                 " is not registered and its module was not found (register it with "
                 "regsvr)";
        return false;
    }
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        *error = "cannot load " + module + ": " + dlerror();
        return false;
    }
    auto registerServer = reinterpret_cast<HRESULT (*)()>(dlsym(handle, "DllRegisterServer"));
    const HRESULT hr = registerServer != nullptr ? registerServer() : E_FAIL;
    dlclose(handle);
    if (FAILED(hr)) {
        *error = "cannot register " + module + ": " + HResultText(hr);
        return false;
    }
    return true;
}

Forecourt::Forecourt(const Options& options, std::ostream& log)
    : options_(options), log_(log), language_(LanguageFromEnvironment()) {
    layout_.columns = options.columns;
    g_forecourt = this;
}

Forecourt::~Forecourt() {
    if (clientEvents_) {
        clientEvents_->Unadvise(clientCookie_);
    }
    faces_.clear();  // each withdraws from the client object and leaves the window
    if (client_) {
        Invoke(client_.Get(), kestro::automation::kLogoff, DISPATCH_METHOD, {});
        client_ = nullptr;
    }
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
    DeleteObject(Obj(font_));
    DeleteObject(Obj(bold_));
    g_forecourt = nullptr;
}

bool Forecourt::Start(std::string* error) {
    // This program is build/apps/forecourt in the build tree, bin/forecourt when installed.
    const std::string client =
        FindModule("../kestro/automation/KestroClient.so", "KestroClient.so");
    const std::string control = FindModule("../control/Tolvan.OCX", "Tolvan.OCX");
    if (!EnsureRegistered(kClientProgId, client, error) ||
        !EnsureRegistered(u"TOLVAN.TolvanCtrl.1", control, error)) {
        return false;
    }
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(kClientProgId, &clsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              client_.OutVoid());
    }
    if (FAILED(hr)) {
        *error = "cannot create Kestro.Client.1: " + HResultText(hr);
        return false;
    }
    using namespace kestro::automation;
    Invoke(client_.Get(), kCallPort, DISPATCH_PROPERTYPUT, {I4(options_.callPort)});
    Invoke(client_.Get(), kEventsPort, DISPATCH_PROPERTYPUT, {I4(options_.eventsPort)});
    Variant result;
    hr = Invoke(client_.Get(), kLogon, DISPATCH_METHOD, {Text(options_.server), I4(kCallTimeoutMs)},
                &result);
    const long code = result.Type() == VT_I4 ? result.Get().lVal : -1;
    if (FAILED(hr) || code != 0) {
        *error = "cannot log on to " + options_.server + " (call port " +
                 std::to_string(options_.callPort) +
                 "): " + (FAILED(hr) ? HResultText(hr) : "result " + std::to_string(code));
        return false;
    }
    // ConnectionLost of the client object's events.
    if (auto container = client_.As<IConnectionPointContainer>()) {
        if (SUCCEEDED(container->FindConnectionPoint(kestro::automation::kClientEventsIid,
                                                     clientEvents_.Out()))) {
            auto sink =
                MakeEventSink(kestro::automation::kClientEventsIid,
                              [this](DISPID event, const DISPPARAMS&) { OnClientEvent(event); });
            if (FAILED(clientEvents_->Advise(sink.Get(), &clientCookie_))) {
                clientEvents_ = nullptr;
            }
        }
    }
    const std::vector<long> pumps = StationPumps(client_.Get());
    if (pumps.empty()) {
        *error = "the station at " + options_.server + " has no pumps";
        return false;
    }
    layout_.pumps = static_cast<int>(pumps.size());

    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Forecourt::Proc;
        wc.hbrBackground = CreateSolidBrush(kBackground);
        wc.lpszClassName = reinterpret_cast<LPCWSTR>(kWindowClass);
        return RegisterClassW(&wc) != 0;
    }();
    if (platform::CurrentDisplay() == platform::Display::Headless) {
        platform::StartScriptedClock();  // a script gives the same pictures every run
    } else {
        platform::SetDisplayZoom(options_.zoom);  // the faces still draw 80 by 80
    }
    hwnd_ = registered ? CreateWindowExW(0, reinterpret_cast<LPCWSTR>(kWindowClass),
                                         reinterpret_cast<LPCWSTR>(u"Forecourt"), WS_VISIBLE, 60,
                                         60, layout_.Width(), layout_.Height(), nullptr, nullptr,
                                         nullptr, nullptr)
                       : nullptr;
    if (hwnd_ == nullptr) {
        *error = "cannot create the forecourt window";
        return false;
    }
    font_ = MakeFont(12, false);
    bold_ = MakeFont(12, true);
    for (std::size_t i = 0; i < pumps.size(); ++i) {
        auto face = PumpFace::Create(
            pumps[i], client_.Get(),
            [this](long pumpId, DISPID event, const DISPPARAMS& args) {
                OnFaceEvent(pumpId, event, args);
            },
            error);
        if (!face) {
            return false;
        }
        face->Configure(options_.popupMode, options_.beep);
        face->SetCurrent(false);
        if (!face->Place(hwnd_, layout_.FaceRect(static_cast<int>(i)), error)) {
            return false;
        }
        names_.push_back(face->Name());
        lastState_.push_back(-1);
        faces_.push_back(std::move(face));
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
    platform::DispatchPendingMessages();
    log_ << "forecourt: " << faces_.size() << " pumps of " << options_.server << '\n';
    return true;
}

std::string Forecourt::PumpName(long pumpId) const {
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        if (faces_[i]->PumpId() == pumpId) {
            return names_[i].empty() ? "Pump " + std::to_string(pumpId) : names_[i];
        }
    }
    return "Pump " + std::to_string(pumpId);
}

void Forecourt::OnClientEvent(DISPID event) {
    if (event == kestro::automation::kConnectionLostEvent) {
        OnConnectionLost();
    }
}

void Forecourt::OnConnectionLost() {
    if (lost_) {
        return;
    }
    // Set first: the faces' StatusEvents of state 0 that follow are told by one line.
    lost_ = true;
    log_ << "forecourt: the connection to the controller at " << options_.server << " was lost\n";
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        faces_[i]->ShowNotResponding();
        lastState_[i] = 0;
    }
    AddLine(ControllerLostLine(language_));
}

std::vector<std::pair<long, int>> Forecourt::FaceStates() const {
    std::vector<std::pair<long, int>> states;
    for (const auto& face : faces_) {
        states.emplace_back(face->PumpId(), face->State());
    }
    return states;
}

void Forecourt::OnFaceEvent(long pumpId, DISPID event, const DISPPARAMS& args) {
    const std::string pump = PumpName(pumpId);
    if (event == tolvan::eventidStatusEvent) {
        if (lost_) {
            return;
        }
        // A delivering pump reports ten times a second; the strip tells only its changes.
        const int state = static_cast<int>(NumberOf(Arg(args, 0)));
        for (std::size_t i = 0; i < faces_.size(); ++i) {
            if (faces_[i]->PumpId() == pumpId) {
                if (lastState_[i] == state) {
                    return;
                }
                lastState_[i] = state;
            }
        }
        StatusFacts facts;
        facts.state = state;
        facts.hoseNumber = static_cast<int>(NumberOf(Arg(args, 4)));
        facts.gradeName = TextOf(Arg(args, 6));
        facts.volume = NumberOf(Arg(args, 10));
        facts.value = NumberOf(Arg(args, 11));
        AddLine(StatusLine(pump, facts, language_));
        return;
    }
    if (event == tolvan::eventidDeliveryEvent || event == tolvan::eventidDeliveryEventEx ||
        event == tolvan::eventidDeliverySelectedEvent) {
        DeliveryFacts facts;
        facts.id = static_cast<long>(NumberOf(Arg(args, 0)));
        facts.gradeName = TextOf(Arg(args, 4));
        facts.volume = NumberOf(Arg(args, 8));
        facts.value = NumberOf(Arg(args, 9));
        facts.state = static_cast<int>(NumberOf(Arg(args, 10)));
        facts.type = static_cast<int>(NumberOf(Arg(args, 11)));
        AddLine(DeliveryLine(pump,
                             event == tolvan::eventidDeliverySelectedEvent ? DeliveryKind::Selected
                                                                           : DeliveryKind::Changed,
                             facts, language_));
    }
}

void Forecourt::AddLine(std::string line) {
    // DeliveryEvent and DeliveryEventEx tell the same change: one line for both.
    if (!strip_.empty() && strip_.back() == line) {
        return;
    }
    log_ << line << '\n';
    strip_.push_back(std::move(line));
    while (strip_.size() > static_cast<std::size_t>(Layout::kStripLines)) {
        strip_.pop_front();
    }
    if (hwnd_ != nullptr) {
        const RECT strip = layout_.StripRect();
        InvalidateRect(hwnd_, &strip, TRUE);
    }
}

void Forecourt::FollowCurrentPump() {
    Variant value;
    long current = -1;
    if (SUCCEEDED(Invoke(client_.Get(), kestro_automation::kCurrentPumpID, DISPATCH_PROPERTYGET, {},
                         &value))) {
        current = static_cast<long>(NumberOf(value.Get()));
    }
    if (current == currentPump_) {
        return;
    }
    currentPump_ = current;
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        faces_[i]->SetCurrent(faces_[i]->PumpId() == current);
        const RECT name = layout_.NameRect(static_cast<int>(i));
        InvalidateRect(hwnd_, &name, TRUE);
    }
}

LRESULT Forecourt::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Forecourt* self = g_forecourt;
    switch (message) {
        case WM_PAINT:
            if (self != nullptr && self->hwnd_ == hwnd) {
                self->Paint();
                return 0;
            }
            break;
        case WM_TIMER:
            if (self != nullptr && wParam == kShotTimer) {
                KillTimer(hwnd, kShotTimer);
                std::string error;
                self->shot_ = self->Screenshot(self->options_.screenshot, &error) ? Shot::kWritten
                                                                                  : Shot::kFailed;
                if (self->shot_ == Shot::kFailed) {
                    self->log_ << "forecourt: " << error << '\n';
                }
                return 0;
            }
            if (wParam == kEndTimer) {
                PostQuitMessage(0);
                return 0;
            }
            break;
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Forecourt::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (dc == nullptr) {
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        const RECT name = layout_.NameRect(static_cast<int>(i));
        const bool current = faces_[i]->PumpId() == currentPump_;
        if (current) {
            HBRUSH band = CreateSolidBrush(kCurrentBand);
            FillRect(dc, &name, band);
            DeleteObject(Obj(band));
        }
        SelectObject(dc, Obj(current ? bold_ : font_));
        SetTextColor(dc, current ? 0x00FFFFFF : 0x00000000);
        DrawUtf8(dc, PumpName(faces_[i]->PumpId()), name, DT_CENTER | DT_VCENTER);
    }
    RECT strip = layout_.StripRect();
    HBRUSH white = CreateSolidBrush(kStripBackground);
    FillRect(dc, &strip, white);
    DeleteObject(Obj(white));
    HBRUSH rule = CreateSolidBrush(0x00A0A0A0);
    RECT line{strip.left, strip.top, strip.right, strip.top + 1};
    FillRect(dc, &line, rule);
    DeleteObject(Obj(rule));
    SelectObject(dc, Obj(font_));
    SetTextColor(dc, 0x00000000);
    int y = strip.top + 6;
    int index = 0;
    for (const std::string& text : strip_) {
        // The newest line is bold, at the bottom.
        const bool newest = ++index == static_cast<int>(strip_.size());
        SelectObject(dc, Obj(newest ? bold_ : font_));
        DrawUtf8(dc, text, RECT{8, y, strip.right - 8, y + Layout::kLineHeight}, DT_LEFT);
        y += Layout::kLineHeight;
    }
    EndPaint(hwnd_, &ps);
}

bool Forecourt::ZoomedFrame(HWND topLevel, platform::PixelSurface* frame) const {
    if (!platform::ReadPresentedFrame(topLevel, frame)) {
        return false;
    }
    RECT rect{};
    GetWindowRect(topLevel, &rect);
    const int zoom = options_.zoom;
    if (zoom == 1 || frame->width != rect.right - rect.left) {
        return true;  // the display has enlarged it already
    }
    platform::PixelSurface zoomed;
    zoomed.Reset(frame->width * zoom, frame->height * zoom, 0);
    for (int y = 0; y < zoomed.height; ++y) {
        for (int x = 0; x < zoomed.width; ++x) {
            zoomed.at(x, y) = frame->at(x / zoom, y / zoom);
        }
    }
    *frame = std::move(zoomed);
    return true;
}

HWND Forecourt::OpenPopup() const {
    const HWND focus = GetFocus();
    const HWND top = focus != nullptr ? platform::GetTopLevelWindow(focus) : nullptr;
    if (top == nullptr || top == hwnd_ || !IsWindowVisible(top)) {
        return nullptr;
    }
    const HWND owner = GetWindow(top, GW_OWNER);
    return owner != nullptr && platform::GetTopLevelWindow(owner) == hwnd_ ? top : nullptr;
}

bool Forecourt::Screenshot(const std::string& path, std::string* error) {
    platform::DispatchPendingMessages();
    platform::PixelSurface frame;
    if (hwnd_ == nullptr || !ZoomedFrame(hwnd_, &frame)) {
        *error = "the forecourt window shows no frame";
        return false;
    }
    platform::PixelSurface popupFrame;
    const HWND popup = OpenPopup();
    if (popup != nullptr && ZoomedFrame(popup, &popupFrame)) {
        // Both windows where they stand on the screen, on the desktop's grey.
        const int zoom = options_.zoom;
        RECT base{};
        RECT over{};
        GetWindowRect(hwnd_, &base);
        GetWindowRect(popup, &over);
        RECT all{};
        UnionRect(&all, &base, &over);
        platform::PixelSurface both;
        both.Reset((all.right - all.left) * zoom, (all.bottom - all.top) * zoom, kDesktop);
        auto put = [&](const platform::PixelSurface& part, const RECT& at) {
            const int left = (at.left - all.left) * zoom;
            const int top = (at.top - all.top) * zoom;
            for (int y = 0; y < part.height && top + y < both.height; ++y) {
                for (int x = 0; x < part.width && left + x < both.width; ++x) {
                    both.at(left + x, top + y) = part.at(x, y);
                }
            }
        };
        put(frame, base);
        put(popupFrame, over);
        frame = std::move(both);
        log_ << "forecourt: the popup stands at " << over.left - base.left << ','
             << over.top - base.top << " of the window, " << over.right - over.left << 'x'
             << over.bottom - over.top << '\n';
    }
    std::string failure;
    if (!WritePng(frame, path.c_str(), &failure)) {
        *error = "cannot write " + path + ": " + failure;
        return false;
    }
    log_ << "forecourt: wrote " << path << " (" << frame.width << 'x' << frame.height << ")\n";
    return true;
}

void Forecourt::QueueClick(int x, int y) {
    // Positions of the zoomed frame map back to the window's own pixels.
    const POINT pt{x / options_.zoom, y / options_.zoom};
    platform::QueueMouseInput(hwnd_, WM_LBUTTONDOWN, pt);
    platform::QueueMouseInput(hwnd_, WM_LBUTTONUP, pt);
}

bool Forecourt::QueuePumpClick(long pumpId) {
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        if (faces_[i]->PumpId() == pumpId) {
            const RECT face = layout_.FaceRect(static_cast<int>(i));
            QueueClick((face.left + face.right) / 2 * options_.zoom,
                       (face.top + face.bottom) / 2 * options_.zoom);
            return true;
        }
    }
    return false;
}

bool Forecourt::QueueKey(const std::string& name) {
    const UINT vk = platform::VirtualKeyFromName(name);
    if (vk == 0) {
        return false;
    }
    platform::QueueKeyInput(vk, true);
    platform::QueueKeyInput(vk, false);
    return true;
}

void Forecourt::Settle() {
    platform::DispatchPendingMessages();
    FollowCurrentPump();
    platform::DispatchPendingMessages();
}

void Forecourt::Wait(int ms) {
    if (platform::CurrentDisplay() == platform::Display::Headless) {
        // Events come in real time, through the message loop; the windows' timers run on the
        // scripted clock, moved on by the same time.
        platform::RunMessageLoopFor(static_cast<DWORD>(ms));
        platform::AdvanceScriptedClock(static_cast<DWORD>(ms));
        FollowCurrentPump();
        platform::DispatchPendingMessages();
        return;
    }
    const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(std::max(ms, 10)), nullptr);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    MSG msg{};
    while (std::chrono::steady_clock::now() < end && GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        FollowCurrentPump();
    }
    KillTimer(nullptr, timer);
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
    }
}

bool Forecourt::Run(double seconds) {
    if (!options_.screenshot.empty()) {
        SetTimer(hwnd_, kShotTimer, static_cast<UINT>(std::max(10.0, options_.after * 1000)),
                 nullptr);
        shot_ = Shot::kPending;
    }
    if (platform::CurrentDisplay() == platform::Display::Headless) {
        // Nobody can close a headless window: it runs for its seconds, or without them until
        // its screenshot is written (its timer runs on the scripted clock, which each wait moves
        // on), sleeping on the client's events.
        const auto end = std::chrono::steady_clock::now() +
                         std::chrono::milliseconds(static_cast<long>(seconds * 1000));
        while (seconds > 0 ? std::chrono::steady_clock::now() < end : shot_ == Shot::kPending) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            Wait(static_cast<int>(std::clamp<long>(left.count(), 1, 250)));
        }
        if (shot_ == Shot::kPending) {
            log_ << "forecourt: the run ended before the screenshot was due; "
                 << options_.screenshot << " is not written\n";
            return false;
        }
        return shot_ != Shot::kFailed;
    }
    if (seconds > 0) {
        SetTimer(hwnd_, kEndTimer, static_cast<UINT>(seconds * 1000), nullptr);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (msg.message >= WM_KEYDOWN && msg.message <= WM_LBUTTONDBLCLK) {
            FollowCurrentPump();
        }
    }
    return shot_ != Shot::kFailed;
}

}  // namespace forecourt
