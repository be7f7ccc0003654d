// System colours (a default Windows 10 desktop) and the OLE_COLOR translation.
#include "platform/com_errors.h"
#include "platform/gdi.h"

namespace {

constexpr COLORREF kSysColors[] = {
    RGB(200, 200, 200),  // COLOR_SCROLLBAR
    RGB(0, 0, 0),        // COLOR_BACKGROUND
    RGB(153, 180, 209),  // COLOR_ACTIVECAPTION
    RGB(191, 205, 219),  // COLOR_INACTIVECAPTION
    RGB(240, 240, 240),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(100, 100, 100),  // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(0, 0, 0),        // COLOR_CAPTIONTEXT
    RGB(180, 180, 180),  // COLOR_ACTIVEBORDER
    RGB(244, 247, 252),  // COLOR_INACTIVEBORDER
    RGB(171, 171, 171),  // COLOR_APPWORKSPACE
    RGB(0, 120, 215),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240),  // COLOR_BTNFACE
    RGB(160, 160, 160),  // COLOR_BTNSHADOW
    RGB(109, 109, 109),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(0, 0, 0),        // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105),  // COLOR_3DDKSHADOW
    RGB(227, 227, 227),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // 25 is not used
    RGB(0, 102, 204),    // COLOR_HOTLIGHT
    RGB(185, 209, 234),  // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 120, 215),    // COLOR_MENUHILIGHT
    RGB(240, 240, 240),  // COLOR_MENUBAR
};
constexpr int kSysColorCount = static_cast<int>(sizeof kSysColors / sizeof kSysColors[0]);

}  // namespace

COLORREF GetSysColor(int index) {
    if (index < 0 || index >= kSysColorCount) {
        return 0;
    }
    return kSysColors[index];
}

HRESULT OleTranslateColor(OLE_COLOR color, HPALETTE, COLORREF* out) {
    const DWORD kind = color >> 24;
    COLORREF result = 0;
    switch (kind) {
        case 0x00:  // RGB
        case 0x01:  // palette index, taken as its RGB part (no palettes here)
        case 0x02:  // palette-relative RGB
            result = color & 0x00FFFFFF;
            break;
        case 0x80: {
            const DWORD index = color & 0x00FFFFFF;
            if (index >= static_cast<DWORD>(kSysColorCount) || index == 25) {
                return E_INVALIDARG;
            }
            result = kSysColors[index];
            break;
        }
        default:
            return E_INVALIDARG;
    }
    if (out != nullptr) {
        *out = result;
    }
    return S_OK;
}
