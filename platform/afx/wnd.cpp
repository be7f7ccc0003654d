// CWnd: the handle map, the framework window class and procedure, message-map dispatch and
// the window calls on m_hWnd.
#include "platform/afx/wnd.h"

#include "platform/afx/dc.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

// Windows are used by their own thread only, but a module may hold windows of several threads:
// the map is locked.
struct HandleMap {
    std::mutex mutex;
    std::map<HWND, CWnd*> permanent;
    std::map<HWND, std::unique_ptr<CWnd>> temporary;
};

// An object of the module, not a leaked pointer: a module that is unloaded frees its map with
// it (every window of the module is gone by then), and leak checkers see nothing left over.
HandleMap& Handles() {
    static HandleMap map;
    return map;
}

// The object whose window is being created on this thread: attached at its first message.
thread_local CWnd* creating = nullptr;

// The message being handled now on this thread, for Default().
struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local CurrentMessage current{};

void Register(HWND hwnd, CWnd* wnd) {
    HandleMap& map = Handles();
    std::lock_guard lock(map.mutex);
    map.permanent[hwnd] = wnd;
}

void Unregister(HWND hwnd) {
    HandleMap& map = Handles();
    std::lock_guard lock(map.mutex);
    map.permanent.erase(hwnd);
}

}  // namespace

LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (wnd == nullptr) {
        if (creating == nullptr) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        wnd = creating;
        creating = nullptr;
        wnd->m_hWnd = hwnd;
        Register(hwnd, wnd);
    }
    AFX_MANAGE_STATE(wnd->m_pModuleState);
    const CurrentMessage saved = current;
    current = {message, wParam, lParam};
    // The object may be deleted by its own WM_NCDESTROY handling (PostNcDestroy).
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    current = saved;
    if (message == WM_NCDESTROY) {
        Unregister(hwnd);
        wnd->m_hWnd = nullptr;
        wnd->m_pfnSuper = nullptr;  // the subclassed procedure went with the window
        wnd->PostNcDestroy();
    }
    return result;
}

LPCWSTR AfxFrameworkWindowClass(UINT classStyle) {
    // One class per module and style: each module's AfxWndProc reaches its own handle map.
    static std::mutex mutex;
    static std::map<UINT, WideString> names;
    std::lock_guard lock(mutex);
    auto found = names.find(classStyle);
    if (found != names.end()) {
        return found->second.c_str();
    }
    char text[64];
    std::snprintf(text, sizeof text, "Afx:%p:%x", reinterpret_cast<void*>(&AfxWndProc), classStyle);
    WideString name(text, text + std::strlen(text));
    WNDCLASSW wc{};
    if (GetClassInfoW(nullptr, name.c_str(), &wc) && wc.lpfnWndProc != &AfxWndProc) {
        UnregisterClassW(name.c_str(), nullptr);  // left by a module once loaded here
    }
    wc = WNDCLASSW{};
    wc.style = classStyle;
    wc.lpfnWndProc = &AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = name.c_str();
    RegisterClassW(&wc);
    return names.emplace(classStyle, std::move(name)).first->second.c_str();
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd != nullptr) {
        Unregister(m_hWnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    HandleMap& map = Handles();
    std::lock_guard lock(map.mutex);
    auto it = map.permanent.find(hwnd);
    return it == map.permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (hwnd == nullptr) {
        return nullptr;
    }
    if (CWnd* wnd = FromHandlePermanent(hwnd)) {
        return wnd;
    }
    HandleMap& map = Handles();
    std::lock_guard lock(map.mutex);
    std::erase_if(map.temporary, [](const auto& entry) {
        if (::IsWindow(entry.first)) {
            return false;
        }
        entry.second->m_hWnd = nullptr;  // gone: its destructor must not destroy a new window
        AfxOleLockApp();                 // balances the unlock below before it is deleted
        return true;
    });
    auto& slot = map.temporary[hwnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hwnd;
        AfxOleUnlockApp();  // a temporary is no live object: it must not keep the module loaded
    }
    return slot.get();
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR className, LPCWSTR windowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, void* lpParam) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    if (className == nullptr) {
        className = AfxFrameworkWindowClass();
    }
    CWnd* const outer = creating;
    creating = this;
    HMENU menu = (dwStyle & WS_CHILD) != 0
                     ? reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(nID))
                     : nullptr;
    HWND hwnd = ::CreateWindowExW(dwExStyle, className, windowName, dwStyle, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top,
                                  pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr, menu,
                                  AfxGetInstanceHandle(), lpParam);
    if (creating == this) {
        // A class that is not the framework's: attach now, without subclassing.
        creating = outer;
        if (hwnd != nullptr) {
            Attach(hwnd);
        }
    } else {
        creating = outer;
    }
    return hwnd != nullptr ? TRUE : FALSE;
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID) {
    return CreateEx(0, className, windowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

BOOL CWnd::Attach(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr) {
        return FALSE;
    }
    m_hWnd = hwnd;
    Register(hwnd, this);
    return TRUE;
}

HWND CWnd::Detach() {
    const HWND hwnd = m_hWnd;
    if (hwnd != nullptr) {
        Unregister(hwnd);
    }
    m_hWnd = nullptr;
    return hwnd;
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    return ::KillTimer(m_hWnd, nIDEvent);
}
void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    ::InvalidateRect(m_hWnd, lpRect, bErase);
}
void CWnd::ValidateRect(LPCRECT lpRect) {
    ::ValidateRect(m_hWnd, lpRect);
}
void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}
BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}
BOOL CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}
void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}
BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter != nullptr ? pWndInsertAfter->m_hWnd : nullptr, x,
                          y, cx, cy, nFlags);
}
void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}
void CWnd::GetWindowRect(LPRECT lpRect) const {
    ::GetWindowRect(m_hWnd, lpRect);
}
void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    ::ClientToScreen(m_hWnd, lpPoint);
}
void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    ::ScreenToClient(m_hWnd, lpPoint);
}
CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}
CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}
int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}
CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}
CWnd* CWnd::SetCapture() {
    return FromHandle(::SetCapture(m_hWnd));
}
void CWnd::SetWindowText(LPCWSTR text) {
    ::SetWindowTextW(m_hWnd, text);
}
WideString CWnd::GetWindowText() const {
    WideString text(static_cast<std::size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, WSTR('\0'));
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}
LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

// ---- Message routing ------------------------------------------------------------------------

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CWnd::FindEntry(UINT message, UINT code, UINT id) const {
    const bool routed = message == WM_COMMAND || message == WM_NOTIFY;
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != nullptr; ++e) {
            if (e->nMessage != message) {
                continue;
            }
            if (!routed || (e->nCode == code && id >= e->nID && id <= e->nLastID)) {
                return e;
            }
        }
    }
    return nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        if (OnNotify(wParam, lParam, &result)) {
            *pResult = result;
            return TRUE;
        }
        return FALSE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindEntry(message, 0, 0);
    if (entry == nullptr) {
        return FALSE;
    }
    *pResult = entry->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const AFX_MSGMAP_ENTRY* entry = FindEntry(WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    if (entry == nullptr) {
        return FALSE;
    }
    entry->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) {
        return FALSE;
    }
    const AFX_MSGMAP_ENTRY* entry =
        FindEntry(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom));
    if (entry == nullptr) {
        return FALSE;
    }
    *pResult = entry->pfn(this, 0, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) {
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

void CWnd::PostNcDestroy() {}

int CWnd::RunModalLoop() {
    m_bContinueModal = TRUE;
    m_nModalResult = -1;
    const HWND hwnd = m_hWnd;
    MSG msg;
    while (m_bContinueModal && ::IsWindow(hwnd)) {
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_bContinueModal = FALSE;
    return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult) {
    m_nModalResult = nResult;
    m_bContinueModal = FALSE;
    // A loop waiting for a message must wake up to see that it is done: EndDialog may come
    // from outside any message of the dialog (a timer procedure, an idle hook).
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

void CWnd::OnPaint() {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnClose() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return Default() != 0 ? TRUE : FALSE;
}

LRESULT AfxEraseBkgndThunk(CWnd* wnd, WPARAM wParam, LPARAM) {
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    const BOOL erased = wnd->OnEraseBkgnd(&dc);
    dc.Detach();  // the message's context belongs to whoever sent it
    return erased;
}
