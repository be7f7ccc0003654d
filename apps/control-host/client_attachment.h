// control-host's client automation object: the `client SERVER [CALLPORT [EVENTSPORT]]`
// command creates Kestro.Client.1 through COM, logs it on to a kestrod and hands it to the
// current control with SetKestro; `wait MS` lets the object's events reach the control by
// running the host thread's message loop for MS milliseconds. The object's own event
// (ConnectionLost) prints like the control's, as "event ConnectionLost(3)".
//
// The control borrows the object (SetKestro adds no reference), so an attachment must outlive
// the control's hold on it: a new one is opened and handed over before the old one goes, and a
// failed `client` leaves the attached one in place.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "platform/com.h"
#include "platform/com_ptr.h"

class ClientAttachment {
  public:
    // Creates the client object, connects the sink that prints its events to `out`, sets its
    // ports and logs on to `server` with a call time-out of `timeoutMs`. Null with `error` set
    // on failure (whatever was made is released again).
    static std::unique_ptr<ClientAttachment> Open(std::ostream& out, const std::string& server,
                                                  long callPort, long eventsPort, long timeoutMs,
                                                  std::string& error);
    // Logs the client object off (when its logon succeeded) and releases it.
    ~ClientAttachment();
    ClientAttachment(const ClientAttachment&) = delete;
    ClientAttachment& operator=(const ClientAttachment&) = delete;

    // The client object (no reference added).
    IDispatch* client() const { return client_.Get(); }
    // Runs the message loop for `ms` milliseconds, so that the events that arrive meanwhile
    // reach the control.
    static void Wait(int ms);

  private:
    ClientAttachment() = default;

    ComPtr<IDispatch> client_;
    ComPtr<IConnectionPoint> connection_;
    ComPtr<IDispatch> sink_;
    DWORD cookie_ = 0;
    bool loggedOn_ = false;
};
