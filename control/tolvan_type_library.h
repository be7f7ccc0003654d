// The type library TolvanLib as tables: the dispinterface _DTolvan (every property and method
// with its DISPID, types, parameter names and help string), the event interface
// _DTolvanEvents and the coclass Tolvan. control/res/tolvan.odl is its source text; the two
// are kept in step (a test compares them).
#pragma once

#include "platform/typeinfo.h"

namespace tolvan {

extern const DispInterfaceInfo kDTolvanInfo;
extern const DispInterfaceInfo kDTolvanEventsInfo;
extern const CoClassInfo kTolvanCoClassInfo;
extern const TypeLibInfo kTolvanLib;

}  // namespace tolvan
