// A container of the pump display control that we did not write the hosting of: Wine's (or
// Windows') atl.dll places each control through its "AtlAxWin" window class, sizes it, and is
// its client site. The program makes a top-level window with one AtlAxWin child per pump,
// reaches each control's IDispatch with AtlAxGetControl, puts its ID, hands it a logged-on
// Kestro.Client.1 with SetKestro and prints the control's events. A script of commands, one a
// line, then runs from a timer of the program's own window, so that it goes on while a modal
// loop (the popup, the property frame) holds the thread: every modal loop dispatches the
// thread's timer messages. Each command prints one line; the first failure ends the run.
// mingw-w64 has no ATL headers: the two functions are declared here and found at run time.
// Usage: tolvan_atl_host ADDRESS SCRIPT PUMP...
//
// Commands:
//   set PUMP NAME VALUE     a property put through IDispatch (a whole number as a long, one
//                           with a full stop as a double, anything else as a string)
//   get PUMP NAME           prints the property
//   click PUMP X Y          WM_LBUTTONDOWN and WM_LBUTTONUP posted to the window under that
//                           point of the control's window (client coordinates)
//   key NAME                WM_KEYDOWN, WM_CHAR and WM_KEYUP posted to the focus window:
//                           0 to 9, Return, Escape, Up, Down, Tab
//   wait MS                 lets the loop run MS milliseconds
//   wait-event TEXT [MS]    waits (5000 ms unless told) for an event line, printed since the
//                           last one matched, that contains TEXT
//   say TEXT                prints TEXT (a mark for the script driving the test)
//   size PUMP               the site's and the control window's sizes
//   fit PUMP                sizes the site to the control's window, as a container that
//                           honours the control's own size does
//   capture PUMP FILE       the control's window as a PNG
//   capture-dialog FILE     the thread's active dialog window, whole, as a PNG
//   verb PUMP properties    IOleObject::DoVerb(OLEIVERB_PROPERTIES) on the control
//   click-dialog ITEM       WM_LBUTTONDOWN and WM_LBUTTONUP posted to the middle of the
//                           active dialog's item ITEM
//   dialog-item ITEM        the item's class, text, whether it is enabled, and its size
//   close-dialog            IDCANCEL posted to the active dialog
//   dialog                  the active dialog's class, text and size, or none
//   paints PUMP             the distinct rectangles that USER gave the control's window to
//                           paint (its update region's box at each WM_PAINT, "erased" when
//                           its BeginPaint sent WM_ERASEBKGND) since the last paints of that
//                           pump, in order of their first appearance
//   paints-include PUMP BOX [erased]   the same paints hold that one (others may come between,
//                           such as a blink's); they are cleared as by paints
//   reset-counts            blink ticks and beeps counted from zero again
//   expect-ticks PUMP MIN MAX   WM_TIMER messages of timer 1 to the control since reset-counts
//   expect-beeps MIN MAX    calls of MessageBeep by Tolvan.OCX since reset-counts
//   quit                    ends the run
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include "host_support.h"
#include "import_patch.h"
#include "tolvan_event_text.h"
#include "window_capture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
using MessageBeepFunction = BOOL(WINAPI*)(UINT);

constexpr UINT_PTR kScriptTimer = 1;
constexpr UINT kScriptPeriodMs = 50;
constexpr UINT_PTR kBlinkTimer = 1;
constexpr int kSiteWidth = 100;  // not the control's 80 by 80, on purpose
constexpr int kSiteHeight = 70;

struct Pump {
    LONG id = 0;
    HWND site = nullptr;
    HWND window = nullptr;  // the control's own window, a child of the site
    IDispatch* control = nullptr;
    IConnectionPoint* events = nullptr;
    DWORD cookie = 0;
    int blinkTicks = 0;
    std::vector<std::string> paints;
    std::string pendingPaint;  // the box of the paint under way, until it is settled
    bool pendingErased = false;
};

std::vector<Pump> pumps;
std::vector<std::string> eventLines;
std::size_t eventsMatched = 0;
int beeps = 0;
MessageBeepFunction realMessageBeep = nullptr;

std::vector<std::string> scriptLines;
std::size_t nextLine = 0;
DWORD waitUntil = 0;
bool waiting = false;
std::string awaitedEvent;
bool awaitingEvent = false;
int failures = 0;
HWND frame = nullptr;

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return host::Narrow(name);
}

std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size - 1 : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), size);
    return wide;
}

void Stop() {
    KillTimer(frame, kScriptTimer);
    PostQuitMessage(0);
}

void Fail(const std::string& what) {
    ++failures;
    Say("FAILED: " + what);
    Stop();
}

BOOL WINAPI CountingMessageBeep(UINT type) {
    ++beeps;
    if (type != 0xFFFFFFFFu) {
        char text[64];
        std::snprintf(text, sizeof text, "MessageBeep(0x%X), not the simple beep", type);
        Say(text);
    }
    return realMessageBeep(type);
}

Pump* PumpOfWindow(HWND window) {
    for (Pump& pump : pumps) {
        if (pump.window == window && window != nullptr) {
            return &pump;
        }
    }
    return nullptr;
}

// The paint that USER handed the pump's window last is kept aside until it is known whether
// its BeginPaint erased the background (WM_ERASEBKGND, sent from within the paint); then it
// joins the pump's distinct paints as "BOX" or "BOX erased".
void SettlePaint(Pump& pump) {
    if (pump.pendingPaint.empty()) {
        return;
    }
    const std::string text = pump.pendingPaint + (pump.pendingErased ? " erased" : "");
    if (std::find(pump.paints.begin(), pump.paints.end(), text) == pump.paints.end()) {
        pump.paints.push_back(text);
    }
    pump.pendingPaint.clear();
    pump.pendingErased = false;
}

// Sees every message the thread's loops take, the modal ones included: the paints and blink
// ticks of the controls' windows.
LRESULT CALLBACK WatchMessages(int code, WPARAM removal, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE) {
        if (Pump* pump = PumpOfWindow(msg->hwnd)) {
            if (msg->message == WM_PAINT) {
                SettlePaint(*pump);
                HRGN region = CreateRectRgn(0, 0, 0, 0);
                RECT box{};
                if (GetUpdateRgn(msg->hwnd, region, FALSE) != ERROR) {
                    GetRgnBox(region, &box);
                }
                DeleteObject(region);
                char text[64];
                std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", box.left, box.top, box.right,
                              box.bottom);
                pump->pendingPaint = text;
            } else if (msg->message == WM_TIMER && msg->wParam == kBlinkTimer) {
                ++pump->blinkTicks;
            }
        }
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

// Sees the messages sent to the thread's windows: a control's WM_ERASEBKGND during its paint.
LRESULT CALLBACK WatchSentMessages(int code, WPARAM sentByThisThread, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_ERASEBKGND) {
        if (Pump* pump = PumpOfWindow(sent->hwnd)) {
            pump->pendingErased = !pump->pendingPaint.empty();
        }
    }
    return CallNextHookEx(nullptr, code, sentByThisThread, lParam);
}

// The control's events of pump PUMP, printed with the pump they came from.
host::EventSink PumpEventSink(LONG pump) {
    return host::EventSink(host::kTolvanEventsIid, [pump](DISPID dispid, const DISPPARAMS& params) {
        const std::string line =
            "event " + std::to_string(pump) + ": " + host::EventText(dispid, params);
        eventLines.push_back(line);
        Say(line);
    });
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Pump* PumpNamed(const std::string& word) {
    for (Pump& pump : pumps) {
        if (std::to_string(pump.id) == word) {
            return &pump;
        }
    }
    Fail("no pump " + word + " in this container");
    return nullptr;
}

std::string SizeText(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

VARIANT ValueOf(const std::string& text) {
    VARIANT value;
    VariantInit(&value);
    const bool negative = !text.empty() && text[0] == '-';
    if (AllDigits(negative ? text.substr(1) : text)) {
        value.vt = VT_I4;
        value.lVal = std::atol(text.c_str());
    } else if (text.find('.') != std::string::npos &&
               text.find_first_not_of("-0123456789.") == std::string::npos) {
        value.vt = VT_R8;
        value.dblVal = std::strtod(text.c_str(), nullptr);
    } else {
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocString(Wide(text).c_str());
    }
    return value;
}

std::string ValueText(VARIANT& value) {
    if (value.vt == VT_BSTR) {
        return "\"" + host::Narrow(value.bstrVal) + "\"";
    }
    if (value.vt == VT_R8) {
        return host::Number(value.dblVal);
    }
    if (SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4))) {
        return std::to_string(value.lVal);
    }
    return "?";
}

struct Key {
    const char* name;
    UINT vk;
    wchar_t character;  // 0: the key types no character
};

constexpr Key kKeys[] = {{"Return", VK_RETURN, L'\r'},
                         {"Escape", VK_ESCAPE, 0x1B},
                         {"Up", VK_UP, 0},
                         {"Down", VK_DOWN, 0},
                         {"Tab", VK_TAB, L'\t'}};

void PostKey(HWND window, UINT vk, wchar_t character) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(window, WM_KEYDOWN, vk, 1 | scan);
    if (character != 0) {
        PostMessageW(window, WM_CHAR, character, 1 | scan);
    }
    PostMessageW(window, WM_KEYUP, vk, 1 | scan | (1L << 30) | (1L << 31));
}

HWND ActiveDialog() {
    HWND window = GetActiveWindow();
    if (window == nullptr || window == frame) {
        window = GetForegroundWindow();
    }
    return window != nullptr && window != frame && ClassOf(window) == "#32770" ? window : nullptr;
}

std::string WindowText(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return host::Narrow(text);
}

bool InRange(int count, const std::string& low, const std::string& high) {
    return count >= std::atoi(low.c_str()) && count <= std::atoi(high.c_str());
}

// Runs one command; waiting ones leave their condition for the timer to check.
void Run(const std::string& line) {
    const std::vector<std::string> w = Words(line);
    const std::string& command = w[0];
    const auto need = [&](std::size_t count) {
        if (w.size() < count) {
            Fail(line + ": too few words");
            return false;
        }
        return true;
    };
    if (command == "set" && need(4)) {
        Pump* pump = PumpNamed(w[1]);
        if (pump == nullptr) {
            return;
        }
        std::string text = w[3];
        for (std::size_t i = 4; i < w.size(); ++i) {
            text += " " + w[i];
        }
        VARIANT value = ValueOf(text);
        const HRESULT hr = host::Put(pump->control, Wide(w[2]).c_str(), value);
        VariantClear(&value);
        FAILED(hr) ? Fail(line + ": " + Hex(hr)) : Say(line + ": done");
    } else if (command == "get" && need(3)) {
        Pump* pump = PumpNamed(w[1]);
        if (pump == nullptr) {
            return;
        }
        VARIANT value;
        VariantInit(&value);
        const HRESULT hr = host::Get(pump->control, Wide(w[2]).c_str(), &value);
        FAILED(hr) ? Fail(line + ": " + Hex(hr)) : Say(line + ": " + ValueText(value));
        VariantClear(&value);
    } else if (command == "click" && need(4)) {
        Pump* pump = PumpNamed(w[1]);
        if (pump == nullptr) {
            return;
        }
        POINT at{std::atoi(w[2].c_str()), std::atoi(w[3].c_str())};
        HWND target = ChildWindowFromPointEx(pump->window, at, CWP_SKIPINVISIBLE);
        if (target == nullptr) {
            Fail(line + ": no window there");
            return;
        }
        MapWindowPoints(pump->window, target, &at, 1);
        const LPARAM position = MAKELPARAM(at.x, at.y);
        PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, position);
        PostMessageW(target, WM_LBUTTONUP, 0, position);
        Say(line + ": posted to " +
            (target == pump->window ? std::string("the control's window") : ClassOf(target)));
    } else if (command == "key" && need(2)) {
        HWND focus = GetFocus();
        if (focus == nullptr) {
            Fail(line + ": no window has the focus");
            return;
        }
        if (w[1].size() == 1 && w[1][0] >= '0' && w[1][0] <= '9') {
            PostKey(focus, static_cast<UINT>(w[1][0]), static_cast<wchar_t>(w[1][0]));
        } else {
            const Key* key = std::find_if(std::begin(kKeys), std::end(kKeys),
                                          [&](const Key& k) { return w[1] == k.name; });
            if (key == std::end(kKeys)) {
                Fail(line + ": no such key");
                return;
            }
            PostKey(focus, key->vk, key->character);
        }
        Say(line + ": posted to " + ClassOf(focus));
    } else if (command == "wait" && need(2)) {
        waitUntil = GetTickCount() + static_cast<DWORD>(std::atol(w[1].c_str()));
        waiting = true;
        Say(line);
    } else if (command == "wait-event" && need(2)) {
        std::size_t last = w.size();
        DWORD ms = 5000;
        if (w.size() > 2 && AllDigits(w.back())) {
            ms = static_cast<DWORD>(std::atol(w.back().c_str()));
            --last;
        }
        awaitedEvent = w[1];
        for (std::size_t i = 2; i < last; ++i) {
            awaitedEvent += " " + w[i];
        }
        waitUntil = GetTickCount() + ms;
        awaitingEvent = true;
    } else if (command == "say") {
        Say(line);
    } else if (command == "size" && need(2)) {
        if (Pump* pump = PumpNamed(w[1])) {
            Say(line + ": site " + SizeText(pump->site) + ", control window " +
                SizeText(pump->window));
        }
    } else if (command == "fit" && need(2)) {
        if (Pump* pump = PumpNamed(w[1])) {
            RECT r{};
            GetWindowRect(pump->window, &r);
            SetWindowPos(pump->site, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            Say(line + ": site " + SizeText(pump->site));
        }
    } else if (command == "capture" && need(3)) {
        if (Pump* pump = PumpNamed(w[1])) {
            const host::CaptureSize size = host::CaptureWindow(pump->window, false, w[2]);
            size.width == 0
                ? Fail(line + ": nothing captured")
                : Say(line + ": " + std::to_string(size.width) + "x" + std::to_string(size.height));
        }
    } else if (command == "capture-dialog" && need(2)) {
        HWND dialog = ActiveDialog();
        if (dialog == nullptr) {
            Fail(line + ": no dialog is active");
            return;
        }
        const host::CaptureSize size = host::CaptureWindow(dialog, true, w[1]);
        size.width == 0 ? Fail(line + ": nothing captured")
                        : Say(line + ": " + ClassOf(dialog) + " \"" + WindowText(dialog) + "\" " +
                              std::to_string(size.width) + "x" + std::to_string(size.height));
    } else if (command == "verb" && need(3)) {
        Pump* pump = PumpNamed(w[1]);
        if (pump == nullptr) {
            return;
        }
        if (w[2] != "properties") {
            Fail(line + ": only the properties verb is known");
            return;
        }
        IOleObject* object = nullptr;
        HRESULT hr =
            pump->control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object));
        if (FAILED(hr)) {
            Fail(line + ": no IOleObject, " + Hex(hr));
            return;
        }
        IOleClientSite* site = nullptr;
        object->GetClientSite(&site);
        RECT r{};
        GetClientRect(pump->site, &r);
        Say(line + ": calling DoVerb");
        // The frame's modal loop runs inside this call; the script goes on from its timer.
        hr = object->DoVerb(OLEIVERB_PROPERTIES, nullptr, site, 0, pump->site, &r);
        if (site != nullptr) {
            site->Release();
        }
        object->Release();
        FAILED(hr) ? Fail(line + ": DoVerb answered " + Hex(hr))
                   : Say(line + ": DoVerb returned " + Hex(hr));
    } else if ((command == "click-dialog" || command == "dialog-item") && need(2)) {
        HWND dialog = ActiveDialog();
        HWND item = dialog == nullptr ? nullptr : GetDlgItem(dialog, std::atoi(w[1].c_str()));
        if (item == nullptr) {
            Fail(line + ": no such item of an active dialog");
            return;
        }
        RECT r{};
        GetClientRect(item, &r);
        if (command == "click-dialog") {
            const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
            PostMessageW(item, WM_LBUTTONDOWN, MK_LBUTTON, middle);
            PostMessageW(item, WM_LBUTTONUP, 0, middle);
            Say(line + ": posted to " + ClassOf(item) + " \"" + WindowText(item) + "\"");
        } else {
            Say(line + ": " + ClassOf(item) + " \"" + WindowText(item) + "\" " +
                (IsWindowEnabled(item) ? "enabled" : "disabled") + ", " + SizeText(item));
        }
    } else if (command == "dialog") {
        HWND dialog = ActiveDialog();
        Say(line + ": " +
            (dialog == nullptr
                 ? std::string("none")
                 : ClassOf(dialog) + " \"" + WindowText(dialog) + "\" " + SizeText(dialog)));
    } else if (command == "close-dialog") {
        HWND dialog = ActiveDialog();
        if (dialog == nullptr) {
            Fail(line + ": no dialog is active");
            return;
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        Say(line + ": IDCANCEL posted to \"" + WindowText(dialog) + "\"");
    } else if (command == "paints" && need(2)) {
        if (Pump* pump = PumpNamed(w[1])) {
            SettlePaint(*pump);
            std::string text;
            for (const std::string& rect : pump->paints) {
                text += (text.empty() ? "" : " ") + rect;
            }
            pump->paints.clear();
            Say(line + ": " + (text.empty() ? "none" : text));
        }
    } else if (command == "paints-include" && need(3)) {
        if (Pump* pump = PumpNamed(w[1])) {
            SettlePaint(*pump);
            const std::string wanted = w[2] + (w.size() > 3 ? " " + w[3] : "");
            std::string seen;
            for (const std::string& rect : pump->paints) {
                seen += (seen.empty() ? "" : " ") + rect;
            }
            const bool found =
                std::find(pump->paints.begin(), pump->paints.end(), wanted) != pump->paints.end();
            pump->paints.clear();
            found ? Say(line + ": yes") : Fail(line + ": only " + (seen.empty() ? "none" : seen));
        }
    } else if (command == "reset-counts") {
        beeps = 0;
        for (Pump& pump : pumps) {
            pump.blinkTicks = 0;
        }
        Say(line);
    } else if (command == "expect-ticks" && need(4)) {
        if (Pump* pump = PumpNamed(w[1])) {
            InRange(pump->blinkTicks, w[2], w[3])
                ? Say(line + ": within")
                : Fail(line + ": " + std::to_string(pump->blinkTicks) + " ticks");
        }
    } else if (command == "expect-beeps" && need(3)) {
        InRange(beeps, w[1], w[2]) ? Say(line + ": within")
                                   : Fail(line + ": " + std::to_string(beeps) + " beeps");
    } else if (command == "quit") {
        Say(line);
        Stop();
    } else {
        Fail(line + ": not a command");
    }
}

// One step of the script: the pending wait's check, or the next command.
void ScriptStep() {
    if (waiting) {
        if (static_cast<LONG>(GetTickCount() - waitUntil) < 0) {
            return;
        }
        waiting = false;
    }
    if (awaitingEvent) {
        for (; eventsMatched < eventLines.size(); ++eventsMatched) {
            if (eventLines[eventsMatched].find(awaitedEvent) != std::string::npos) {
                awaitingEvent = false;
                ++eventsMatched;
                Say("wait-event " + awaitedEvent + ": seen");
                return;
            }
        }
        if (static_cast<LONG>(GetTickCount() - waitUntil) >= 0) {
            awaitingEvent = false;
            Fail("no event with " + awaitedEvent + " in time");
        }
        return;
    }
    while (nextLine < scriptLines.size()) {
        // Taken before it runs: a command that holds the thread in a modal loop lets the next
        // ones run from the timer meanwhile.
        const std::string line = scriptLines[nextLine++];
        if (line.empty() || line[0] == '#' || Words(line).empty()) {
            continue;
        }
        Run(line);
        return;
    }
    Fail("the script ended without quit");
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kScriptTimer) {
        if (failures == 0) {
            ScriptStep();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool ReadScript(const char* path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        scriptLines.push_back(line);
    }
    return in.eof();
}

// The function NAME that MODULE exports, as the type the caller declares for it.
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

HWND ControlWindow(IDispatch* control) {
    IOleWindow* window = nullptr;
    HWND handle = nullptr;
    if (SUCCEEDED(control->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) {
        window->GetWindow(&handle);
        window->Release();
    }
    return handle;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: tolvan_atl_host ADDRESS SCRIPT PUMP...\n");
        return 2;
    }
    if (!ReadScript(argv[2])) {
        return host::Fail("reading the script", E_FAIL);
    }
    host::creatingThread = GetCurrentThreadId();
    HRESULT hr = OleInitialize(nullptr);
    if (FAILED(hr)) {
        return host::Fail("OleInitialize", hr);
    }
    HMODULE atl = LoadLibraryW(L"atl.dll");
    const auto atlAxWinInit = Export<AtlAxWinInitFunction>(atl, "AtlAxWinInit");
    const auto atlAxGetControl = Export<AtlAxGetControlFunction>(atl, "AtlAxGetControl");
    if (atlAxWinInit == nullptr || atlAxGetControl == nullptr || !atlAxWinInit()) {
        return host::Fail("atl.dll's AtlAxWinInit and AtlAxGetControl", E_FAIL);
    }

    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frameClass.lpszClassName = L"TolvanAtlHostFrame";
    RegisterClassW(&frameClass);
    const int count = argc - 3;
    frame = CreateWindowExW(0, frameClass.lpszClassName, L"Tolvan in AtlAxWin",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 40 + 120 * count, 200, nullptr,
                            nullptr, frameClass.hInstance, nullptr);
    if (frame == nullptr) {
        return host::Fail("creating the top-level window", HRESULT_FROM_WIN32(GetLastError()));
    }

    pumps.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Pump& pump = pumps[static_cast<std::size_t>(i)];
        pump.id = std::atol(argv[3 + i]);
        // AtlAxWin creates the control named by its window text as it is created.
        pump.site = CreateWindowExW(0, L"AtlAxWin", L"TOLVAN.TolvanCtrl.1", WS_CHILD | WS_VISIBLE,
                                    10 + 120 * i, 10, kSiteWidth, kSiteHeight, frame, nullptr,
                                    frameClass.hInstance, nullptr);
        IUnknown* unknown = nullptr;
        hr = pump.site == nullptr ? E_FAIL : atlAxGetControl(pump.site, &unknown);
        if (FAILED(hr)) {
            return host::Fail("AtlAxWin with TOLVAN.TolvanCtrl.1", hr);
        }
        hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pump.control));
        unknown->Release();
        if (FAILED(hr)) {
            return host::Fail("the control's IDispatch", hr);
        }
        pump.window = ControlWindow(pump.control);
        if (pump.window == nullptr) {
            return host::Fail("the control's window (not active in place)", E_FAIL);
        }
    }
    realMessageBeep = reinterpret_cast<MessageBeepFunction>(
        host::PatchImport(GetModuleHandleW(L"Tolvan.OCX"), "user32.dll", "MessageBeep",
                          reinterpret_cast<void*>(&CountingMessageBeep)));
    if (realMessageBeep == nullptr) {
        return host::Fail("Tolvan.OCX's import of MessageBeep", E_FAIL);
    }
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, WatchMessages, nullptr, GetCurrentThreadId());
    HHOOK sentHook =
        SetWindowsHookExW(WH_CALLWNDPROC, WatchSentMessages, nullptr, GetCurrentThreadId());

    IDispatch* client = nullptr;
    hr = host::Create(L"Kestro.Client.1", &client);
    if (FAILED(hr)) {
        return host::Fail("creating Kestro.Client.1", hr);
    }
    hr = host::Logon(client, argv[1]);
    if (FAILED(hr)) {
        return host::Fail("Logon", hr);
    }
    std::vector<host::EventSink> sinks;
    sinks.reserve(pumps.size());
    for (Pump& pump : pumps) {
        sinks.push_back(PumpEventSink(pump.id));
        hr = host::Advise(pump.control, host::kTolvanEventsIid, &sinks.back(), &pump.events,
                          &pump.cookie);
        if (FAILED(hr)) {
            return host::Fail("advising on _DTolvanEvents", hr);
        }
        VARIANT id;
        id.vt = VT_I4;
        id.lVal = pump.id;
        hr = host::Put(pump.control, L"ID", id);
        if (FAILED(hr)) {
            return host::Fail("putting ID", hr);
        }
        IDispatch* handle = client;
        VARIANT byReference;
        byReference.vt = VT_BYREF | VT_DISPATCH;
        byReference.ppdispVal = &handle;
        VARIANT rc;
        VariantInit(&rc);
        hr = host::Call(pump.control, L"SetKestro", &byReference, 1, &rc);
        if (FAILED(hr) || rc.vt != VT_I4 || rc.lVal != 0) {
            return host::Fail("SetKestro", hr);
        }
    }
    Say("ready: " + std::to_string(count) + " controls in AtlAxWin windows");

    SetTimer(frame, kScriptTimer, kScriptPeriodMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    UnhookWindowsHookEx(sentHook);
    UnhookWindowsHookEx(hook);
    for (Pump& pump : pumps) {
        pump.events->Unadvise(pump.cookie);
        pump.events->Release();
        pump.control->Release();
    }
    VARIANT rc;
    VariantInit(&rc);
    host::Call(client, L"Logoff", nullptr, 0, &rc);
    client->Release();
    DestroyWindow(frame);
    OleUninitialize();
    Say(failures == 0 ? "host ended" : "host ended after a failure");
    return failures == 0 ? 0 : 1;
}
