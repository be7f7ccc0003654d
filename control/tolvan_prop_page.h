// CTolvanPropPage: the control's one property page, captioned by string 200 ("General" or
// "Geral") and built on dialog 200, which only says that there are no properties to set. It
// binds no property, so applying it changes nothing.
#pragma once

#include <span>

#include "platform/afx/ole_object_factory.h"
#include "platform/afx/ole_property_page.h"

namespace tolvan {

// A dialog template as the resource script describes it; sizes in dialog units.
struct DialogItem {
    const char* kind;  // "LTEXT", ...
    const char* text;
    int id;
    int x, y, cx, cy;
};

struct DialogResource {
    UINT id;
    int cx, cy;
    const char* style;  // "WS_CHILD"
    const char* fontName;
    int fontPoints;
    std::span<const DialogItem> items;
};

// Dialog 200: 250 by 62 units, a child window in "MS Sans Serif" 8 points, with the static
// text "No property pages available." at (74, 24), 97 by 16.
extern const DialogResource kPropPageDialog;

class CTolvanPropPage : public COlePropertyPage {
  public:
    CTolvanPropPage();

    // Writes the page's class identifier; E_POINTER for null.
    HRESULT GetClassID(CLSID* pClassID) override;

    class CTolvanPropPageFactory : public COleObjectFactory {
      public:
        CTolvanPropPageFactory();
        // Registers the page's class with type name string 2, or removes it (without ProgID).
        BOOL UpdateRegistry(BOOL bRegister) override;
    };
    static CTolvanPropPageFactory factory;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    SIZE GetDialogSize() const override;
};

}  // namespace tolvan
