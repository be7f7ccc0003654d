// control-host's window: the host's top-level window, the in-place site that places the
// control's window in it, the ambient properties the host offers, and the window commands:
//
//   show [X Y]        in-place activate the control at X, Y (default 0 0) of the host window
//                     (which grows to hold it); prints the control window's rectangle
//   paint FILE.png    the host window's frame as a PNG, with the windows it owns (an open
//                     dialog) over it where they stand: painted=FILE WxH
//   click X Y         a left click at X, Y of the host window; dblclick X Y a double click
//   key NAME          a key press and release (RETURN, ESCAPE, UP, DOWN, 1 to 9, ...)
//   wait MS           the clock moves on by MS, dispatching what falls due on the way
//   beeps             beeps=N, the MessageBeep count
//   ambient NAME VALUE  sets an ambient property (BackColor, ForeColor, Font "FACE,SIZE[,bold]",
//                     DisplayName, LocaleID, UserMode) and repaints the control
//   window            the control window: window=X,Y WxH visible|hidden, or window=none
//   run               runs the message loop until the host window is closed (real displays)
//
// Headless, the clock is the scripted clock (starting at 0 when the window is made), so scripts
// give the same output every run; with FORECOURT_DISPLAY=sdl the window is real, `wait`
// runs the message loop for MS milliseconds of real time, and `run` lets a user play.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "apps/control-host/value_text.h"
#include "platform/com.h"
#include "platform/ole_inplace.h"
#include "platform/user.h"

class WindowSite;

class HostWindow {
  public:
    explicit HostWindow(std::ostream& out);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // The site's window-side interfaces (IOleInPlaceSite, and IDispatch for the ambient
    // properties) for the control site to answer; null for others. Adds a reference.
    HRESULT QuerySite(REFIID riid, void** ppv);

    using Words = std::vector<ScriptWord>;
    // The commands; each prints its lines and returns false after printing "error: ...".
    // `control` is the current control or null.
    bool Show(IDispatch* control, const Words& args);
    bool Paint(const Words& args);
    bool Click(const Words& args, bool twice);
    bool Key(const Words& args);
    // Moves the clock on by `ms` (0 to 600000, checked by the caller) while dispatching.
    bool Wait(int ms);
    // Whether a command has made the host window yet.
    bool HasWindow() const { return hwnd_ != nullptr; }
    bool Beeps(const Words& args);
    bool Ambient(IDispatch* control, const Words& args);
    bool Window(IDispatch* control, const Words& args);
    bool Run(const Words& args);

    // While a dialog's modal loop waits for the script: click, dblclick and key only queue
    // their input, which the loop then takes (through the dialog's keyboard).
    void SetQueueInputOnly(bool queueOnly) { queueInputOnly_ = queueOnly; }

    // Takes the control out of the window (before it is released).
    void Deactivate(IDispatch* control);

    // Dispatches what is pending (paints, posted messages, due timers).
    void Pump();

    HWND Handle() const { return hwnd_; }
    // Makes the host window if no command has yet; false (after "error: ...") when it cannot.
    bool EnsureWindow();

  private:
    bool Error(const std::string& text);
    // The host window's frame with the visible windows it owns composed over it.
    bool ReadScreen(platform::PixelSurface* screen);
    // Reads "X Y" for `command`; prints `usage` for a wrong count, or a line naming the word
    // that is no coordinate (-32768 to 32767), and returns false.
    bool Point(const std::string& command, const char* usage, const Words& args, POINT* pt);
    HWND ControlWindow(IDispatch* control);

    std::ostream& out_;
    HWND hwnd_ = nullptr;
    WindowSite* site_;
    bool queueInputOnly_ = false;
};
