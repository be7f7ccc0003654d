// The interfaces of the platform headers lay their tables out as Windows does: a caller built
// against the Windows SDK calls a member by its slot (QueryInterface is 0), so each member
// must sit where the SDK puts it, bases first.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "platform/com.h"
#include "platform/ole_inplace.h"
#include "platform/stream.h"
#include "platform/typeinfo.h"

namespace {

// The slot of a virtual member. In the Itanium C++ ABI (the Linux compilers') a pointer to a
// virtual member holds 1 plus the member's byte offset in the table.
template <class Member>
std::ptrdiff_t SlotOf(Member member) {
    static_assert(sizeof(Member) == 2 * sizeof(std::ptrdiff_t));
    std::ptrdiff_t words[2];
    std::memcpy(words, &member, sizeof words);
    EXPECT_EQ(words[0] % static_cast<std::ptrdiff_t>(sizeof(void*)), 1) << "not virtual";
    return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

struct SlotCase {
    const char* member;
    std::ptrdiff_t slot;
    std::ptrdiff_t windowsSlot;
};

#define SLOT(iface, name, windows)                       \
    SlotCase {                                           \
#iface "::" #name, SlotOf(&iface::name), windows \
    }

TEST(InterfaceSlotsTest, EveryMemberSitsInItsWindowsSlot) {
    const SlotCase cases[] = {
        SLOT(IUnknown, QueryInterface, 0),
        SLOT(IUnknown, Release, 2),
        SLOT(IDispatch, GetTypeInfoCount, 3),
        SLOT(IDispatch, Invoke, 6),
        SLOT(IClassFactory, CreateInstance, 3),
        SLOT(IClassFactory, LockServer, 4),
        SLOT(IConnectionPoint, Advise, 5),
        SLOT(IConnectionPoint, Unadvise, 6),
        SLOT(IConnectionPoint, EnumConnections, 7),
        SLOT(IConnectionPointContainer, EnumConnectionPoints, 3),
        SLOT(IConnectionPointContainer, FindConnectionPoint, 4),
        SLOT(IProvideClassInfo, GetClassInfo, 3),
        SLOT(IPropertyBag, Read, 3),
        SLOT(IPropertyBag, Write, 4),
        SLOT(IPersistPropertyBag, GetClassID, 3),
        SLOT(IPersistPropertyBag, InitNew, 4),
        SLOT(IPersistPropertyBag, Load, 5),
        SLOT(IPersistPropertyBag, Save, 6),
        SLOT(IOleObject, SetClientSite, 3),
        SLOT(IOleObject, GetClipboardData, 10),
        SLOT(IOleObject, DoVerb, 11),
        SLOT(IOleObject, EnumVerbs, 12),
        SLOT(IOleObject, GetUserClassID, 15),
        SLOT(IOleObject, SetExtent, 17),
        SLOT(IOleObject, GetExtent, 18),
        SLOT(IOleObject, Advise, 19),
        SLOT(IOleObject, GetMiscStatus, 22),
        SLOT(IOleObject, SetColorScheme, 23),
        SLOT(IOleControlSite, OnControlInfoChanged, 3),
        SLOT(IOleControlSite, TranslateAccelerator, 7),
        SLOT(IOleControlSite, ShowPropertyFrame, 9),
        SLOT(ISpecifyPropertyPages, GetPages, 3),
        SLOT(IPropertyPage, SetPageSite, 3),
        SLOT(IPropertyPage, GetPageInfo, 6),
        SLOT(IPropertyPage, SetObjects, 7),
        SLOT(IPropertyPage, IsPageDirty, 10),
        SLOT(IPropertyPage, Apply, 11),
        SLOT(IPropertyPage, TranslateAccelerator, 13),
        SLOT(IOleInPlaceSite, GetWindow, 3),
        SLOT(IOleInPlaceSite, ContextSensitiveHelp, 4),
        SLOT(IOleInPlaceSite, CanInPlaceActivate, 5),
        SLOT(IOleInPlaceSite, OnInPlaceActivate, 6),
        SLOT(IOleInPlaceSite, OnInPlaceDeactivate, 11),
        SLOT(IOleInPlaceSite, OnPosRectChange, 14),
        SLOT(IOleInPlaceObject, GetWindow, 3),
        SLOT(IOleInPlaceObject, InPlaceDeactivate, 5),
        SLOT(IOleInPlaceObject, SetObjectRects, 7),
        SLOT(IOleInPlaceObject, ReactivateAndUndo, 8),
        SLOT(IViewObject, Draw, 3),
        SLOT(IViewObject, GetAdvise, 8),
        SLOT(IViewObject2, GetExtent, 9),
        SLOT(IOleInPlaceActiveObject, GetWindow, 3),
        SLOT(IOleInPlaceActiveObject, TranslateAccelerator, 5),
        SLOT(IOleInPlaceActiveObject, OnFrameWindowActivate, 6),
        SLOT(IOleInPlaceActiveObject, OnDocWindowActivate, 7),
        SLOT(IOleInPlaceActiveObject, ResizeBorder, 8),
        SLOT(IOleInPlaceActiveObject, EnableModeless, 9),
        SLOT(IOleClientSite, SaveObject, 3),
        SLOT(IOleClientSite, GetMoniker, 4),
        SLOT(IOleClientSite, GetContainer, 5),
        SLOT(IOleClientSite, ShowObject, 6),
        SLOT(IOleClientSite, OnShowWindow, 7),
        SLOT(IOleClientSite, RequestNewObjectLayout, 8),
        SLOT(ISequentialStream, Read, 3),
        SLOT(ISequentialStream, Write, 4),
        SLOT(IStream, Seek, 5),
        SLOT(IStream, SetSize, 6),
        SLOT(IStream, CopyTo, 7),
        SLOT(IStream, Commit, 8),
        SLOT(IStream, Revert, 9),
        SLOT(IStream, LockRegion, 10),
        SLOT(IStream, UnlockRegion, 11),
        SLOT(IStream, Stat, 12),
        SLOT(IStream, Clone, 13),
        SLOT(IPersistStreamInit, GetClassID, 3),
        SLOT(IPersistStreamInit, IsDirty, 4),
        SLOT(IPersistStreamInit, Load, 5),
        SLOT(IPersistStreamInit, Save, 6),
        SLOT(IPersistStreamInit, GetSizeMax, 7),
        SLOT(IPersistStreamInit, InitNew, 8),
        SLOT(IProvideClassInfo2, GetClassInfo, 3),
        SLOT(IProvideClassInfo2, GetGUID, 4),
        SLOT(IOleControl, GetControlInfo, 3),
        SLOT(IOleControl, OnMnemonic, 4),
        SLOT(IOleControl, OnAmbientPropertyChange, 5),
        SLOT(IOleControl, FreezeEvents, 6),
        SLOT(IEnumConnections, Next, 3),
        SLOT(IEnumConnections, Skip, 4),
        SLOT(IEnumConnections, Reset, 5),
        SLOT(IEnumConnections, Clone, 6),
        SLOT(IEnumConnectionPoints, Next, 3),
        SLOT(IEnumConnectionPoints, Clone, 6),
        SLOT(IEnumSTATDATA, Next, 3),
        SLOT(IEnumSTATDATA, Clone, 6),
        SLOT(IAdviseSink, OnDataChange, 3),
        SLOT(IAdviseSink, OnViewChange, 4),
        SLOT(IAdviseSink, OnRename, 5),
        SLOT(IAdviseSink, OnSave, 6),
        SLOT(IAdviseSink, OnClose, 7),
        SLOT(ITypeInfo, GetTypeAttr, 3),
        SLOT(ITypeInfo, GetIDsOfNames, 10),
        SLOT(ITypeInfo, Invoke, 11),
        SLOT(ITypeInfo, GetContainingTypeLib, 18),
        SLOT(ITypeInfo, ReleaseVarDesc, 21),
    };
    for (const SlotCase& c : cases) {
        EXPECT_EQ(c.slot, c.windowsSlot) << c.member;
    }
}

#undef SLOT

}  // namespace
