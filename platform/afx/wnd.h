// CWnd: the framework's window object. It owns a USER window (m_hWnd) and routes the window's
// messages to member functions through a message map, as MFC does:
//
//   class CMyWnd : public CWnd {
//       ...
//       DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//       ON_WM_PAINT()
//       ON_WM_TIMER()
//       ON_COMMAND(IDOK, &CMyWnd::OnOK)
//   END_MESSAGE_MAP()
//
// A message without an entry in the class's map or its bases' maps gets the default window
// procedure. WM_COMMAND goes to OnCommand (ON_COMMAND, ON_CONTROL and the ON_BN_/ON_LBN_
// forms, matched by notification code and control id), WM_NOTIFY to OnNotify (ON_NOTIFY).
// Handlers run with the module state of the object that owns the window.
#pragma once

#include <functional>
#include <string>

#include "platform/afx/afx_types.h"
#include "platform/afx/cmd_target.h"
#include "platform/user.h"

#ifdef _WIN32
#include <windowsx.h>  // GET_X_LPARAM, GET_Y_LPARAM
#endif

class CWnd;
class CDC;

// One message-map entry: the message, for WM_COMMAND and WM_NOTIFY the notification code
// and the range of control ids, and the thunk that calls the member function.
struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    LRESULT (*pfn)(CWnd* wnd, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root
    const AFX_MSGMAP_ENTRY* lpEntries;     // ends with an entry whose pfn is null
};

// Notification codes of WM_COMMAND.
constexpr UINT CN_COMMAND = 0;  // menus, accelerators, and a button's BN_CLICKED
// Windows declares the controls' codes and NMHDR itself (windows.h).
#ifndef _WIN32
constexpr UINT BN_CLICKED = 0;
constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT LBN_DBLCLK = 2;

// WM_NOTIFY's lParam.
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
#endif  // _WIN32

class CWnd : public CCmdTarget {
  public:
    CWnd();
    // Destroys the window if it still exists.
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The CWnd that owns `hwnd`; for a window that no CWnd owns, a temporary CWnd attached to
    // it (kept until the window is gone). Null for null.
    static CWnd* FromHandle(HWND hwnd);
    // The owning CWnd only; null when no CWnd owns `hwnd`.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Creates the window with a framework class of this module (null `className`) or a
    // registered class, and attaches this object to it before WM_NCCREATE. A child window
    // (WS_CHILD) takes `nID` as its control id. FALSE when creation failed.
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR className, LPCWSTR windowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, void* lpParam = nullptr);
    BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();

    // Attaches to / detaches from an existing window without subclassing it.
    BOOL Attach(HWND hwnd);
    HWND Detach();

    // Window calls on m_hWnd.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    void UpdateWindow();
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    CWnd* GetParent() const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    void SetWindowText(LPCWSTR text);
    WideString GetWindowText() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // ---- Message routing ------------------------------------------------------------------

    // The window procedure of the object: OnWndMsg, else DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Finds the message's handler in the message maps; FALSE when there is none.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // WM_COMMAND: runs the map's handler for HIWORD(wParam) (the code) and LOWORD(wParam)
    // (the id); TRUE when one ran.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY: runs the map's handler for the NMHDR's code and id; TRUE when one ran.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The default handling: the subclassed procedure or DefWindowProcW.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being handled now.
    LRESULT Default();
    // Called after WM_NCDESTROY, when the window is gone; the base does nothing.
    virtual void PostNcDestroy();

    // A modal loop, as dialogs run one: dispatches every message of the thread (timers,
    // posted messages, input to any window) until EndModalLoop is called, the window is
    // destroyed or WM_QUIT arrives (which is posted again for the outer loop). Returns the
    // result given to EndModalLoop, -1 otherwise. EndModalLoop sets the flag and posts WM_NULL
    // to the window: the loop ends after the message being handled, or wakes up to end.
    virtual int RunModalLoop();
    virtual void EndModalLoop(int nResult);
    BOOL ContinueModal() const { return m_bContinueModal; }

    // Handlers the base map knows nothing of: derived classes declare theirs and list them
    // in their maps. The bases here give the default handling.
    virtual void OnPaint();
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnDestroy();
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    virtual void OnClose();
    // WM_ERASEBKGND: TRUE when the background was erased. The base gives the default
    // handling (the class brush).
    virtual BOOL OnEraseBkgnd(CDC* pDC);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

  protected:
    BOOL m_bContinueModal = FALSE;
    int m_nModalResult = -1;
    WNDPROC m_pfnSuper = nullptr;  // the procedure this object's window had before (subclassing)

  private:
    friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
};

// The thunk of ON_WM_ERASEBKGND: OnEraseBkgnd with the message's device context.
LRESULT AfxEraseBkgndThunk(CWnd* wnd, WPARAM wParam, LPARAM lParam);

// The window procedure of the framework's window classes.
LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The name of this module's framework window class (registered on first use): windows of it
// route their messages to their CWnd.
LPCWSTR AfxFrameworkWindowClass(UINT classStyle = CS_DBLCLKS);

// ---- Message map macros ---------------------------------------------------------------------

#define DECLARE_MESSAGE_MAP()                         \
  public:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
  private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass = theClass;                     \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                                        \
    { 0, 0, 0, 0, nullptr }                                                                      \
    }                                                                                            \
    ;                                                                                            \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]}; \
    return &messageMap;                                                                          \
    }

#define AFX_THIS(w) static_cast<ThisClass*>(w)
#define AFX_POINT(lp) CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))

#define ON_WM_PAINT()                                            \
    {WM_PAINT, 0, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(w)->OnPaint();                                 \
         return 0;                                               \
     }},
#define ON_WM_LBUTTONDOWN()                                                  \
    {WM_LBUTTONDOWN, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT { \
         AFX_THIS(w)->OnLButtonDown(static_cast<UINT>(wp), AFX_POINT(lp));   \
         return 0;                                                           \
     }},
#define ON_WM_LBUTTONUP()                                                  \
    {WM_LBUTTONUP, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT { \
         AFX_THIS(w)->OnLButtonUp(static_cast<UINT>(wp), AFX_POINT(lp));   \
         return 0;                                                         \
     }},
#define ON_WM_LBUTTONDBLCLK()                                                  \
    {WM_LBUTTONDBLCLK, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT { \
         AFX_THIS(w)->OnLButtonDblClk(static_cast<UINT>(wp), AFX_POINT(lp));   \
         return 0;                                                             \
     }},
#define ON_WM_MOUSEMOVE()                                                  \
    {WM_MOUSEMOVE, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT { \
         AFX_THIS(w)->OnMouseMove(static_cast<UINT>(wp), AFX_POINT(lp));   \
         return 0;                                                         \
     }},
#define ON_WM_TIMER()                                               \
    {WM_TIMER, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT { \
         AFX_THIS(w)->OnTimer(wp);                                  \
         return 0;                                                  \
     }},
#define ON_WM_DESTROY()                                            \
    {WM_DESTROY, 0, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(w)->OnDestroy();                                 \
         return 0;                                                 \
     }},
#define ON_WM_ERASEBKGND() {WM_ERASEBKGND, 0, 0, 0, &AfxEraseBkgndThunk},
#define ON_WM_CLOSE()                                            \
    {WM_CLOSE, 0, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(w)->OnClose();                                 \
         return 0;                                               \
     }},
#define ON_WM_SIZE()                                                                         \
    {WM_SIZE, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                        \
         AFX_THIS(w)->OnSize(static_cast<UINT>(wp), LOWORD(static_cast<std::uintptr_t>(lp)), \
                             HIWORD(static_cast<std::uintptr_t>(lp)));                       \
         return 0;                                                                           \
     }},
#define AFX_KEY_ENTRY(message, handler)                                                       \
    {message, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                         \
         AFX_THIS(w)->handler(static_cast<UINT>(wp), LOWORD(static_cast<std::uintptr_t>(lp)), \
                              HIWORD(static_cast<std::uintptr_t>(lp)));                       \
         return 0;                                                                            \
     }},
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_SETFOCUS()                                                        \
    {WM_SETFOCUS, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {          \
         AFX_THIS(w)->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wp))); \
         return 0;                                                              \
     }},
#define ON_WM_KILLFOCUS()                                                        \
    {WM_KILLFOCUS, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {          \
         AFX_THIS(w)->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wp))); \
         return 0;                                                               \
     }},
// ON_MESSAGE(WM_X, &CMyWnd::OnX) with LRESULT OnX(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                \
    {message, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT { \
         return (AFX_THIS(w)->*(memberFxn))(wp, lp);                  \
     }},
// ON_COMMAND(ID, &CMyWnd::OnX) with void OnX().
#define ON_COMMAND(id, memberFxn)                                          \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                              \
         (AFX_THIS(w)->*(memberFxn))();                                    \
         return 0;                                                         \
     }},
// ON_COMMAND_RANGE(FIRST, LAST, &CMyWnd::OnX) with void OnX(UINT id).
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(idLast), \
     [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {                               \
         (AFX_THIS(w)->*(memberFxn))(LOWORD(wp));                              \
         return 0;                                                             \
     }},
// ON_CONTROL(CODE, ID, &CMyWnd::OnX) with void OnX(): a control's notification.
#define ON_CONTROL(code, id, memberFxn)                                                 \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                           \
         (AFX_THIS(w)->*(memberFxn))();                                                 \
         return 0;                                                                      \
     }},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
// ON_NOTIFY(CODE, ID, &CMyWnd::OnX) with void OnX(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, memberFxn)                                                 \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CWnd* w, WPARAM, LPARAM lp) -> LRESULT {                                       \
         LRESULT result = 0;                                                           \
         (AFX_THIS(w)->*(memberFxn))(reinterpret_cast<NMHDR*>(lp), &result);           \
         return result;                                                                \
     }},
