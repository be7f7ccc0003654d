// The forecourt: the client object logged on to a kestrod, one Tolvan control per pump of
// the station laid out in a grid in pump-number order with each pump's name under its face,
// the current pump followed, and a strip of the last events at the bottom. The loop sleeps in
// the window's message queue; the client object's events wake it through a posted message.
#pragma once

#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "apps/forecourt/event_text.h"
#include "apps/forecourt/forecourt_options.h"
#include "apps/forecourt/pump_face.h"
#include "platform/gdi.h"

namespace forecourt {

// The grid's geometry in unzoomed window pixels.
struct Layout {
    static constexpr int kCellWidth = 96;
    static constexpr int kCellHeight = 110;
    static constexpr int kFaceLeft = 8;  // the face's offset in its cell
    static constexpr int kFaceTop = 8;
    static constexpr int kFace = 80;
    static constexpr int kStripLines = 6;
    static constexpr int kLineHeight = 16;
    static constexpr int kMinWidth = 560;

    int columns = 4;
    int pumps = 0;

    int Rows() const { return (pumps + columns - 1) / columns; }
    int Width() const;
    int GridHeight() const { return Rows() * kCellHeight; }
    int Height() const { return GridHeight() + kStripLines * kLineHeight + 20; }
    // The face of the pump at `index` (0 first in pump-number order).
    RECT FaceRect(int index) const;
    RECT NameRect(int index) const;
    RECT StripRect() const;
};

class Forecourt {
  public:
    Forecourt(const Options& options, std::ostream& log);
    ~Forecourt();
    Forecourt(const Forecourt&) = delete;
    Forecourt& operator=(const Forecourt&) = delete;

    // Registers the modules when needed, logs on, creates and places the faces and shows the
    // window. False with `error` set when any step fails.
    bool Start(std::string* error);

    // The whole window, scaled by the zoom, as a PNG; a popup open over it is shown on it
    // (the picture then spans both windows).
    bool Screenshot(const std::string& path, std::string* error);
    // Queues a click at X, Y of the zoomed frame, as the display gives a user's.
    void QueueClick(int x, int y);
    // Queues a click in the middle of a pump's face; false when the station has no such pump.
    bool QueuePumpClick(long pumpId);
    // Queues a key press and release; false for an unknown key name.
    bool QueueKey(const std::string& name);
    // Serves the queued input and what it causes (a popup's loop runs in here), and follows
    // the current pump.
    void Settle();
    // Serves the client's events and the windows' timers for `ms` milliseconds.
    void Wait(int ms);
    // The message loop until the window is closed or `seconds` pass (0: until closed),
    // writing the screenshot of the options after their delay. False when that screenshot
    // could not be written, or a headless run's seconds ended before it was due.
    bool Run(double seconds);
    // Whether the client object told of its connection to the controller lost. From then on
    // every face shows its pump as not responding and the strip says so.
    bool ControllerLost() const { return lost_; }
    // Each pump's ID and the state its face shows, in pump-number order.
    std::vector<std::pair<long, int>> FaceStates() const;

    const std::deque<std::string>& Strip() const { return strip_; }
    long CurrentPump() const { return currentPump_; }
    const Layout& Geometry() const { return layout_; }

  private:
    static LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    // The frame of a top-level window as the screenshot shows it, enlarged by the zoom.
    bool ZoomedFrame(HWND topLevel, platform::PixelSurface* frame) const;
    // A popup of the forecourt that shows now (the dialog holding the focus), or null.
    HWND OpenPopup() const;
    void OnFaceEvent(long pumpId, DISPID event, const DISPPARAMS& args);
    void OnClientEvent(DISPID event);
    void OnConnectionLost();
    void AddLine(std::string line);
    void FollowCurrentPump();
    std::string PumpName(long pumpId) const;

    Options options_;
    std::ostream& log_;
    Language language_;
    Layout layout_;
    ComPtr<IDispatch> client_;
    ComPtr<IConnectionPoint> clientEvents_;
    DWORD clientCookie_ = 0;
    bool lost_ = false;
    enum class Shot { kNone, kPending, kWritten, kFailed };
    Shot shot_ = Shot::kNone;  // the screenshot of the options
    std::vector<std::unique_ptr<PumpFace>> faces_;
    std::vector<std::string> names_;
    std::vector<int> lastState_;
    std::deque<std::string> strip_;
    long currentPump_ = -1;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HFONT bold_ = nullptr;
};

// Makes `progId` creatable: as registered, or by registering `module` into the registry.
bool EnsureRegistered(const char16_t* progId, const std::string& module, std::string* error);

}  // namespace forecourt
