// control-host's client automation object: the `client SERVER [CALLPORT [EVENTSPORT]]`
// command creates Kestro.Client.1 through COM, logs it on to a kestrod and hands it to the
// current control with SetKestro; `wait MS` lets the object's events reach the control by
// dispatching the host thread's queue for MS milliseconds. The object's own event
// (ConnectionLost) prints like the control's, as "event ConnectionLost(3)".
#pragma once

#include <ostream>
#include <string>

#include "platform/com.h"
#include "platform/com_ptr.h"

class ClientAttachment {
  public:
    explicit ClientAttachment(std::ostream& out) : out_(out) {}
    ~ClientAttachment();
    ClientAttachment(const ClientAttachment&) = delete;
    ClientAttachment& operator=(const ClientAttachment&) = delete;

    // Creates the client object (replacing one attached before), sets its ports and logs on
    // to `server` with a call time-out of `timeoutMs`. False with `error` set on failure
    // (the object is then released).
    bool Attach(const std::string& server, long callPort, long eventsPort, long timeoutMs,
                std::string& error);
    // The attached client object (no reference added), or null.
    IDispatch* client() const { return client_.Get(); }
    // Dispatches the events that arrive within `ms` milliseconds.
    void Wait(int ms);
    // Logs off and releases the client object.
    void Release();

  private:
    std::ostream& out_;
    ComPtr<IDispatch> client_;
    ComPtr<IConnectionPoint> connection_;
    ComPtr<IDispatch> sink_;
    DWORD cookie_ = 0;
};
