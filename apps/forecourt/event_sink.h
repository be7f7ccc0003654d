// The forecourt's event sinks: an IDispatch that takes the events of one dispinterface (a
// control's, the client object's) and hands each to a function.
#pragma once

#include <functional>

#include "platform/com.h"
#include "platform/com_ptr.h"

namespace forecourt {

// An event's DISPID and its arguments (in reverse order, as DISPPARAMS holds them).
using EventHandler = std::function<void(DISPID event, const DISPPARAMS& args)>;

// A new sink for the dispinterface `events`, to give to IConnectionPoint::Advise.
ComPtr<IDispatch> MakeEventSink(const IID& events, EventHandler handler);

}  // namespace forecourt
