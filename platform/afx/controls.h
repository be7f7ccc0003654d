// The framework's dialog controls: CStatic (text or a bitmap), CButton (push or owner-drawn) and
// CBitmapButton (owner-drawn with four pictures), CListBox (owner-drawn items of variable
// height, a vertical scroll bar, selection by mouse and keyboard). Owner-drawn items reach the
// parent as WM_MEASUREITEM and WM_DRAWITEM; a CDialog hands them back to the control's
// MeasureItem and DrawItem, and WM_VKEYTOITEM to its VKeyToItem, as the framework reflects them.
// On Linux each is a CWnd that draws itself and notifies its parent as the USER controls do
// (controls_posix.cpp); on Windows the objects are attached to the system's "Static", "Button"
// and "ListBox" windows, which do that work, and their calls send the controls' messages
// (controls_win32.cpp).
#pragma once

#include <vector>

#include "platform/afx/gdi_object.h"
#include "platform/afx/wnd.h"

class CDC;

// Windows declares these messages, styles and structures itself (windows.h).
#ifndef _WIN32
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;

constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_CHARTOITEM = 0x002F;
constexpr UINT WM_MOUSEWHEEL = 0x020A;

constexpr DWORD SS_LEFT = 0x0;
constexpr DWORD SS_CENTER = 0x1;
constexpr DWORD SS_RIGHT = 0x2;
constexpr DWORD SS_BITMAP = 0xE;
constexpr DWORD SS_TYPEMASK = 0x1F;
constexpr DWORD SS_CENTERIMAGE = 0x200;
constexpr DWORD WS_VSCROLL = 0x00200000;

constexpr DWORD BS_OWNERDRAW = 0xB;
constexpr DWORD BS_TYPEMASK = 0xF;

constexpr DWORD LBS_NOTIFY = 0x1;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x20;
constexpr DWORD LBS_HASSTRINGS = 0x40;
constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x400;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;

constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr LRESULT LB_ERR = -1;

constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODA_DRAWENTIRE = 1;
constexpr UINT ODA_FOCUS = 4;
constexpr UINT ODS_SELECTED = 0x1;
constexpr UINT ODS_DISABLED = 0x4;
constexpr UINT ODS_FOCUS = 0x10;

struct MEASUREITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemWidth;
    UINT itemHeight;
    ULONG_PTR itemData;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;
#endif  // _WIN32

// Text in the dialog's font (SS_CENTER / SS_RIGHT, vertically centred with SS_CENTERIMAGE),
// or with SS_BITMAP the bitmap resource the template names, drawn at its own size.
class CStatic : public CWnd {
#ifndef _WIN32
  public:
    // The bitmap resource shown by an SS_BITMAP static (0: none).
    void SetBitmapResource(UINT id);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint();
#endif
};

// A push button; BS_OWNERDRAW asks the parent (DrawItem here) to draw it. Pressed while the
// left button is held over it; BN_CLICKED to the parent on a release inside. A disabled button
// takes no input.
class CButton : public CWnd {
  public:
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
#ifndef _WIN32
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool IsPressed() const {
        return m_pressed;
    }

  private:
    void Paint();
    void SetPressed(bool pressed);
    bool m_tracking = false;
    bool m_pressed = false;
#endif
};

// An owner-drawn button showing one of four bitmaps: pressed, focused, disabled or normal.
class CBitmapButton : public CButton {
  public:
    // Loads the pictures (0: none; a missing focused or disabled one falls back to normal).
    BOOL LoadBitmaps(UINT normal, UINT selected = 0, UINT focus = 0, UINT disabled = 0);
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    CBitmap m_bitmap, m_bitmapSel, m_bitmapFocus, m_bitmapDisabled;
};

// A list box without strings whose items carry a value each and are drawn by their owner
// (DrawItem), with heights from MeasureItem. LBN_SELCHANGE (LBS_NOTIFY) only for a change the
// user made; LB_SETCURSEL notifies nothing. With LBS_WANTKEYBOARDINPUT every key is offered
// to the owner first (WM_VKEYTOITEM, and WM_CHARTOITEM for a character): -2 means handled, -1
// the list's own handling, an index selects that item.
class CListBox : public CWnd {
  public:
    int AddString(LPCWSTR text);  // with no strings: the item's data is `text` as a value
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR data);
    int GetTopIndex() const;
    int SetTopIndex(int index);

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual int VKeyToItem(UINT nKey, UINT nIndex);
    // WM_CHARTOITEM, which a list box without strings and with LBS_WANTKEYBOARDINPUT sends for
    // a character: the same answers as VKeyToItem. The base answers -1 (nothing to search
    // for), where a dialog left to itself would answer 0 and send the list to its first item.
    virtual int CharToItem(UINT nChar, UINT nIndex);

#ifndef _WIN32
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    static constexpr int kScrollBarWidth = 17;

  private:
    struct Item {
        ULONG_PTR data;
        int height;
    };
    RECT ItemArea() const;
    bool ScrollBarNeeded() const;
    int ItemAt(POINT pt) const;
    int LastFullyVisibleTop() const;
    void EnsureVisible(int index);
    void SelectByUser(int index);
    void Notify(UINT code);
    void Paint();
    void PaintScrollBar(HDC dc, const RECT& bar);
    // The cell height of the dialog's font: the height of a row before any is measured.
    int FontHeight(HDC dc) const;
    void OnKey(UINT vk);
    // A character (WM_CHAR): offered to the owner as WM_CHARTOITEM; an index answered selects
    // that item as the user's choice.
    void OnCharacter(WCHAR ch);
    void Scroll(int delta);

    std::vector<Item> m_items;
    int m_sel = -1;
    int m_top = 0;
#endif
};
