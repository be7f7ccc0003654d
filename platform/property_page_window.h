// The window side of a property page: what a property frame calls to place the page's dialog
// in a window of its own (the members of IPropertyPage that need a window).
#pragma once

#include "platform/com.h"
#include "platform/com_ptr.h"

struct IPropertyPageWindow : IUnknown {
    // Creates the page's dialog as a child of `hWndParent`, its top left at that of `pRect`
    // (its size is the page's own, PROPPAGEINFO's size in the page's dialog units), and shows
    // it. `bModal`: the frame runs a modal loop while the page is open.
    virtual HRESULT Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) = 0;
    // Destroys the page's dialog; the page keeps its objects.
    virtual HRESULT Deactivate() = 0;

  protected:
    ~IPropertyPageWindow() = default;
};

inline constexpr IID IID_IPropertyPageWindow = MakeGuid("5C2B7A41-9E3D-4F60-A8B1-2D74C0E9F315");

template <>
struct IidOf<IPropertyPageWindow> {
    static constexpr const IID& value = IID_IPropertyPageWindow;
};
