// CDialog: a dialog made from a dialog resource of the module, its items handed to the fields
// of a derived class by DDX_Control in DoDataExchange. DoModal disables the owner and runs a
// modal loop that keeps dispatching every message of the thread, passing keys through
// IsDialogMessage first, until EndDialog.
// On Linux the framework builds the dialog itself (dialog_posix.cpp): its items are child
// windows of the framework's control classes (CStatic, CButton, CListBox; CWnd for any other
// class), placed in pixels from the template's dialog units. On Windows user32's dialog manager
// makes the dialog and its items of the system's classes from the same template
// (dialog_win32.cpp); the object sees the dialog's messages through its message map, and the
// dialog manager's own handling (font, dialog units, background) is the default.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/afx/data_exchange.h"
#include "platform/afx/gdi_object.h"
#include "platform/afx/wnd.h"
#include "platform/dialog_template.h"

// Windows declares these and the dialog keyboard itself (windows.h, user32).
#ifndef _WIN32
using INT_PTR = std::intptr_t;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_GETDLGCODE = 0x0087;

// WM_GETDLGCODE answers: what keys a control keeps from the dialog keyboard.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;

// The dialog keyboard of `dialog` for a message taken from the queue: Enter sends IDOK,
// Escape IDCANCEL, Tab moves the focus to the next (Shift: previous) enabled visible item with
// WS_TABSTOP; any other message of the dialog or its items is translated and dispatched here.
// FALSE (nothing done) for a message of another window.
BOOL IsDialogMessageW(HWND dialog, MSG* msg);
#endif  // _WIN32

// Binds dialog item `nIDC` to `rControl`. On Linux the object takes over the item's window (and
// so its messages); on Windows it is attached to the system's control without subclassing it,
// so that the owner-drawn items' messages reflected by the dialog reach it. Nothing happens
// when the item is missing or the object has a window already.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
  public:
    // A dialog of template `nIDTemplate` (found with AfxFindResourceHandle) whose parent is
    // `pParentWnd`.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog, runs it modally and destroys it. Returns what EndDialog was given,
    // -1 when the template cannot be read or the window cannot be created.
    virtual INT_PTR DoModal();
    // Ends the modal loop with `nResult` after the message being handled.
    void EndDialog(int nResult);
    // Creates the dialog modelessly as a child window of `parent` with its top left at
    // `origin` (in the parent's client area), sends WM_INITDIALOG and shows it: how a
    // property page sits in its frame. False when the template cannot be read or the window
    // cannot be created. The dialog lives until DestroyWindow (or this object goes).
    BOOL CreateAsChild(HWND parent, POINT origin);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Dialog units to pixels from the template font's average character size (on Windows,
    // user32's MapDialogRect of the dialog's window).
    void MapDialogRect(LPRECT rect) const;
    // The template font's base units (average character width, height), in pixels (on
    // Windows, of the dialog's window: zero before it exists).
    SIZE GetBaseUnits() const;
    // The owner a modal dialog of `parent` gets: the nearest window from `parent` up that is
    // not a child window.
    static HWND ModalOwner(HWND parent);

#ifdef _WIN32
    // `size`, in dialog units of template `nIDTemplate`, turned into pixels with that
    // template's font as the dialog manager measures it; false (and `size` as it was) when the
    // template cannot be used.
    static bool TemplateUnitsToPixels(UINT nIDTemplate, SIZE* size);
#endif
    // For DDX_Control: item `item`'s window handed to `control`.
    void BindItem(HWND item, CWnd& control);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

  protected:
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

  private:
    // A top-level dialog owned by `owner`, or (with `asChild`) a child window of it placed at
    // `origin`.
    bool CreateFromTemplate(HWND owner, bool asChild = false, POINT origin = {0, 0});
    // WM_DRAWITEM, WM_MEASUREITEM and WM_VKEYTOITEM handed to the item's object; false for
    // another message or an item without one.
    bool ReflectToItem(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // What every dialog answers alike, on either system: the reflected item messages,
    // WM_INITDIALOG (OnInitDialog) and WM_CLOSE (OnCancel); false for any other message.
    bool HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The modal loop of a dialog made and initialised: shows it, dispatches the thread's
    // messages through the dialog keyboard until EndDialog (or WM_QUIT, posted again for the
    // loop outside), then enables `owner` again when `enableOwner` and destroys the dialog.
    void RunDialogLoop(HWND owner, bool enableOwner);
#ifdef _WIN32
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    // The item objects DDX_Control attached; detached when the dialog's window is gone, since
    // the items' own messages never reach them.
    std::vector<std::pair<HWND, CWnd*>> m_boundItems;
#else
    void CreateItems(const platform::DialogTemplate& tpl);

    CFont m_font;
    SIZE m_baseUnits{4, 8};
    std::vector<std::unique_ptr<CWnd>> m_items;  // item objects no field has taken over
#endif
};

#ifdef _WIN32
// The dialog procedure of the framework's dialogs: at the dialog's first message it attaches
// the object being created and subclasses the window to AfxWndProc, keeping the dialog
// manager's procedure as the object's default handling. It answers nothing itself after that.
INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
#endif
