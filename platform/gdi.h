// GDI: software device contexts over 32-bit pixel surfaces (window surfaces and memory
// bitmaps), brushes, bitmaps, fonts rendered through fontconfig and FreeType, text layout as
// DrawText does it, system colours, PNG output, and a drawing log that tests read.
//
// Handles are checked: a handle that is not a live object of the right kind makes a call
// fail (FALSE, null or 0) and never crashes. Coordinates and sizes beyond GDI's 27-bit space
// (+-134,217,728) make a call fail too. Coordinates are logical: a device context's
// (0,0) is its origin on the surface. Calls are meant for one thread at a time per device
// context; objects may be shared between threads that do not draw at once.
#pragma once

#ifdef _WIN32
// On Windows GDI is the system's own (gdi32, and msimg32 for TransparentBlt); OLE_COLOR and
// OleTranslateColor are OLE's (olectl.h).
#include "platform/com.h"
#else

#include <string>
#include <vector>

#include "platform/pixel_surface.h"
#include "platform/win_types.h"

struct HPALETTE__;
using HPALETTE = HPALETTE__*;
using OLE_COLOR = DWORD;

// ---- Colours -------------------------------------------------------------------------------

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return static_cast<BYTE>(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c) {
    return static_cast<BYTE>((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c) {
    return static_cast<BYTE>((c >> 16) & 0xFF);
}

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// System colour indexes (GetSysColor, OLE_COLOR 0x800000nn, (HBRUSH)(COLOR_x + 1)).
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;

// The colour of system colour `index` as a default Windows 10 desktop shows it; 0 for an
// index outside 0..30 (as Windows answers).
COLORREF GetSysColor(int index);

// Turns an OLE_COLOR into a COLORREF: 0x00BBGGRR values pass unchanged, 0x800000nn is system
// colour nn. Palette forms (0x01/0x02 high byte) are taken as their RGB part. E_INVALIDARG
// (and `*out` untouched) for an unknown system colour or any other high byte; S_OK otherwise.
// `out` may be null to validate only.
HRESULT OleTranslateColor(OLE_COLOR color, HPALETTE palette, COLORREF* out);

// ---- Rectangles ----------------------------------------------------------------------------

// Rectangles include their left and top edges and exclude their right and bottom edges. An
// empty rectangle has no area (right <= left or bottom <= top).
BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL IsRectEmpty(const RECT* rect);
BOOL CopyRect(LPRECT dst, const RECT* src);
BOOL EqualRect(const RECT* a, const RECT* b);
// The overlap of a and b in `dst`; an empty (all zero) `dst` and FALSE when they do not meet.
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b);
// The smallest rectangle holding a and b; an empty one is ignored. FALSE when both are empty.
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
BOOL InflateRect(LPRECT rect, int dx, int dy);

// ---- Objects -------------------------------------------------------------------------------

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Stock objects (GetStockObject): never deleted, DeleteObject on them is a harmless TRUE.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;
HGDIOBJ GetStockObject(int object);

// A brush of one colour; freed with DeleteObject. A system colour is also accepted wherever a
// brush is, written as (HBRUSH)(COLOR_x + 1).
HBRUSH CreateSolidBrush(COLORREF color);

// A bitmap of w by h pixels (all black), compatible with `hdc` (every DC here has 32-bit
// pixels). Null for sizes <= 0 or beyond 16384 on a side. Freed with DeleteObject.
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);

// The pixels of a bitmap, for code that builds one (resource loading, tests); null when
// `bitmap` is not a bitmap.
platform::PixelSurface* BitmapSurface(HBITMAP bitmap);

// Frees a brush, bitmap or font. FALSE for an unknown handle or an object still selected into
// a device context (as Windows refuses it), TRUE otherwise.
BOOL DeleteObject(HGDIOBJ object);

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

// Copies the description of a bitmap (BITMAP) or font (LOGFONTW) into `out`; returns the bytes
// written, 0 when the object is unknown or `size` too small. A null `out` asks for the size.
int GetObjectW(HGDIOBJ object, int size, void* out);

// ---- Fonts ---------------------------------------------------------------------------------

constexpr int LF_FACESIZE = 32;
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;

struct LOGFONTW {
    LONG lfHeight;  // < 0 character (em) height, > 0 cell height, 0 a default size
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

// A font for `logfont`. The face name goes to fontconfig ("Arial" finds a metric-compatible
// face such as Liberation Sans, "MS Sans Serif" and "MS Shell Dlg" a sans face); every request
// resolves to some installed face. Null only when no font at all is installed. Freed with
// DeleteObject.
HFONT CreateFontIndirectW(const LOGFONTW* logfont);

// The metrics of the font selected into `hdc`. FALSE for a bad DC or null `metrics`.
BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics);

// The advance width of `count` units of `text` (cx) and the font's cell height (cy).
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size);

// The name of the installed face a font resolved to (for logs and tests); "" for a bad handle.
std::string FontResolvedFace(HFONT font);

// ---- Device contexts -----------------------------------------------------------------------

// A device context that draws on `surface` (which must outlive it): logical (0,0) is `origin`
// on the surface, and every drawing is clipped to the union of `clip` (surface coordinates)
// and the surface. Freed with DeleteDC.
HDC CreateSurfaceDC(platform::PixelSurface& surface, POINT origin, const std::vector<RECT>& clip);

// A memory device context compatible with `hdc` (null: with the screen). It starts with a
// 1 by 1 bitmap selected; select a bitmap to draw on it or copy from it. Freed with DeleteDC.
HDC CreateCompatibleDC(HDC hdc);

// Frees a device context; objects selected into it stay alive and become free to delete.
BOOL DeleteDC(HDC hdc);

// Selects a brush, bitmap (memory DCs only) or font into `hdc` and returns the previous
// object of that kind; null on failure (bad handle, a bitmap already selected elsewhere).
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);

// Text colours and background mode; each returns the previous value (CLR_INVALID or 0 on
// failure).
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);

// The colour of one pixel (CLR_INVALID outside the surface or the clip), and setting one.
COLORREF GetPixel(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);

// Fills `rect` (left and top edges included, right and bottom excluded) with `brush`.
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);

// Draws a one-pixel frame inside `rect` with `brush`.
int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Copies a w by h block from (xs, ys) of `src` to (x, y) of `dst`. SRCCOPY, PATCOPY (the
// selected brush), BLACKNESS and WHITENESS; any other raster operation fails (FALSE).
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, DWORD rop);

// Copies the ws by hs block at (xs, ys) of `src` to the w by h block at (x, y) of `dst`,
// stretching by nearest pixel when the sizes differ, leaving out every source pixel whose
// colour equals `transparent`. FALSE for negative or zero sizes or a source block beyond the
// source bitmap.
BOOL TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs,
                    UINT transparent);

// ---- Text ----------------------------------------------------------------------------------

constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;

// Draws `count` units of `text` (-1: up to its terminating 0) in `rect` with the DC's font,
// text colour and background, as Windows lays it out: DT_SINGLELINE one line (CR and LF do not
// break it), DT_WORDBREAK wrapped at spaces and broken at CR, LF and CRLF, neither of them
// broken only at CR, LF and CRLF; DT_VCENTER and DT_BOTTOM only with DT_SINGLELINE; clipped to
// `rect` unless DT_NOCLIP; "&x" underlines x and "&&" is "&" unless DT_NOPREFIX. DT_CALCRECT
// draws nothing and sets rect's right and bottom to the text's extent. Returns the text's
// height (with DT_VCENTER or DT_BOTTOM the offset from rect's top to the text's bottom), 0 on
// failure. DT_EXPANDTABS expands tabs to eight average character widths.
int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format);

// The same for `count` bytes of UTF-8 text (-1: up to its terminating 0).
int DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format);

// ---- Drawing log ---------------------------------------------------------------------------

// One drawing call of a recording device context. Fields that do not apply to the operation
// are 0 or empty. Rectangles are logical coordinates of the DC that drew.
struct DrawingRecord {
    std::string operation;  // "FillRect", "FrameRect", "BitBlt", "TransparentBlt", "DrawText",
                            // "SetPixel"
    UINT bitmapId = 0;      // resource id of the source bitmap (LoadBitmapW), 0 if none
    RECT destination{};
    SIZE sourceSize{};
    COLORREF keyColour = 0;  // TransparentBlt's transparent colour
    std::string text;        // DrawText's text, UTF-8
    std::string fontFace;    // the face name the font asked for
    LONG fontHeight = 0;     // its LOGFONT height
    LONG fontWeight = 0;
    COLORREF textColour = 0;
    UINT flags = 0;           // DT_ flags, or BitBlt's raster operation
    COLORREF fillColour = 0;  // FillRect/FrameRect's brush colour, SetPixel's colour
};

// Starts (or restarts, dropping the old entries) recording every drawing call of `hdc`. The
// pixels are still drawn. FALSE for a bad DC.
BOOL StartDrawingLog(HDC hdc);

// The calls recorded since StartDrawingLog, in order; the log is emptied and recording goes
// on. Empty for a bad DC or one that does not record.
std::vector<DrawingRecord> TakeDrawingLog(HDC hdc);

// Marks a bitmap with the resource id it was loaded from (what the drawing log names).
void SetBitmapResourceId(HBITMAP bitmap, UINT id);

// ---- PNG -----------------------------------------------------------------------------------

// Writes `surface` as an 8-bit RGB PNG to `path`, replacing it in one step by AtomicFile's
// rules: a link is followed to the file it names, an existing target must be a regular file,
// and nothing at the partial name is written through. False (and no partial file left) when
// it cannot be written or the surface is empty; `failure` (may be null) then tells why ("not
// a regular file", the system's text).
bool WritePng(const platform::PixelSurface& surface, const char* path,
              std::string* failure = nullptr);

#endif  // _WIN32
