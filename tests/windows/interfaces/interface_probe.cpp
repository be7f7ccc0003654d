// Every COM interface the platform headers declare, compiled twice by
// check_interfaces.sh: against those headers on Linux, and against the Windows SDK's. The
// tables clang lays out for the probes here are compared slot by slot.
//   SDK_INTERFACE(I)       declared as the SDK declares it: the same members in the same order
//   EXTENDED_INTERFACE(I)  the SDK's members first, then members of this system's own
//   OWN_INTERFACE(I)       this system's own, not in the SDK (not compared)
// An interface the platform headers declare and this list lacks fails the check.
#ifdef _WIN32
#include <windows.h>
// winuser.h renames these to their A or W forms, in the SDK's interfaces too; the members
// are the same under their own names.
#undef GetClassInfo
#undef TranslateAccelerator
#include <oaidl.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>
#define OWN_INTERFACE(name)
#else
// The one calling convention of a Linux table is empty in the headers; here it is a mark
// that clang keeps in the types, so a callback that lacks it shows.
#define STDMETHODCALLTYPE __attribute__((ms_abi))
#include "platform/com.h"
#include "platform/ole_inplace.h"
#include "platform/property_page_window.h"
#include "platform/stream.h"
#include "platform/typeinfo.h"
#define OWN_INTERFACE(name) PROBE(own, name)
#endif

// A class with a defined virtual member has its table laid out and emitted, its base's
// members first.
#define PROBE(kind, name)           \
    struct kind##_##name : ::name { \
        virtual void probe_end();   \
    };                              \
    void kind##_##name::probe_end() {}
#define SDK_INTERFACE(name) PROBE(sdk, name)
#define EXTENDED_INTERFACE(name) PROBE(extended, name)

namespace interface_probe {

SDK_INTERFACE(IUnknown)
SDK_INTERFACE(IDispatch)
SDK_INTERFACE(IClassFactory)
SDK_INTERFACE(IEnumConnections)
SDK_INTERFACE(IConnectionPoint)
SDK_INTERFACE(IEnumConnectionPoints)
SDK_INTERFACE(IConnectionPointContainer)
SDK_INTERFACE(IProvideClassInfo)
SDK_INTERFACE(IProvideClassInfo2)
SDK_INTERFACE(IPropertyBag)
SDK_INTERFACE(IPersist)
SDK_INTERFACE(IPersistPropertyBag)
SDK_INTERFACE(ISequentialStream)
SDK_INTERFACE(IStream)
SDK_INTERFACE(IPersistStreamInit)
SDK_INTERFACE(IAdviseSink)
SDK_INTERFACE(IEnumSTATDATA)
SDK_INTERFACE(IOleClientSite)
SDK_INTERFACE(IOleObject)
SDK_INTERFACE(IOleControlSite)
SDK_INTERFACE(IOleControl)
SDK_INTERFACE(ISpecifyPropertyPages)
SDK_INTERFACE(IPropertyPage)
SDK_INTERFACE(IOleWindow)
SDK_INTERFACE(IOleInPlaceSite)
SDK_INTERFACE(IOleInPlaceObject)
SDK_INTERFACE(IViewObject)
SDK_INTERFACE(IViewObject2)
SDK_INTERFACE(IOleInPlaceActiveObject)
// Its table accessors follow the Windows members (platform/typeinfo.h).
EXTENDED_INTERFACE(ITypeInfo)
// The window side of a property page, between the frame and a page of this system.
OWN_INTERFACE(IPropertyPageWindow)
// The Windows form of the table type information: the SDK's ITypeInfo and the accessors.
OWN_INTERFACE(ITableTypeInfo)

}  // namespace interface_probe
