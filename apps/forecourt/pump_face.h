// One Tolvan control of the forecourt: created through COM by ProgID, handed the client
// object, loaded with its pump, placed in the forecourt window by in-place activation, and
// listened to: its events go to the forecourt's handler with the pump's ID.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/com.h"
#include "platform/com_ptr.h"
#include "platform/user.h"

namespace forecourt {

// A control's event: its pump's ID, the event's DISPID and its arguments (in reverse order,
// as DISPPARAMS holds them).
using FaceEventHandler = std::function<void(long pumpId, DISPID event, const DISPPARAMS& args)>;

class PumpFace {
  public:
    // Creates the control of `pumpId`, hands it `client` (borrowed: the caller keeps it alive
    // longer than the face) and loads the pump. Null with `error` set when it fails.
    static std::unique_ptr<PumpFace> Create(long pumpId, IDispatch* client,
                                            FaceEventHandler handler, std::string* error);
    ~PumpFace();
    PumpFace(const PumpFace&) = delete;
    PumpFace& operator=(const PumpFace&) = delete;

    long PumpId() const { return pumpId_; }
    // The pump's name as the control loaded it ("Bomba 3").
    std::string Name();
    // Puts PopupMode and BeepEnabled.
    bool Configure(int popupMode, bool beep);
    // The pump state the control holds (what its face shows), or -1 when it cannot be read.
    int State();
    // Hands the control the status of a pump that does not respond (state 0, no sale): its
    // face shows it so, its deliveries are dropped, and it raises StatusEvent.
    void ShowNotResponding();
    // Puts IsCurrentPump when it changes.
    void SetCurrent(bool current);
    // In-place activates the control at `at` of `parent`.
    bool Place(HWND parent, const RECT& at, std::string* error);
    // The control's window once placed, else null.
    HWND Window();

  private:
    PumpFace(long pumpId, FaceEventHandler handler);

    long pumpId_;
    FaceEventHandler handler_;
    ComPtr<IDispatch> control_;
    ComPtr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
    int current_ = -1;
};

// VARIANT readers that follow a reference and convert; 0 or "" when they cannot.
double NumberOf(const VARIANT& value);
std::string TextOf(const VARIANT& value);

}  // namespace forecourt
