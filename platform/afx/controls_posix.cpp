// The framework's dialog controls on Linux: painting, mouse and keyboard input and
// notifications.
#include "platform/afx/controls.h"

#include <algorithm>

#include "platform/afx/afx_resources.h"
#include "platform/afx/dc.h"
#include "platform/afx/dialog.h"
#include "platform/resources.h"

namespace {

// GDI handles of every kind pass as HGDIOBJ to the object calls.
template <typename Handle>
HGDIOBJ Obj(Handle handle) {
    return reinterpret_cast<HGDIOBJ>(handle);
}

LONG_PTR Style(HWND hwnd) {
    return ::GetWindowLongPtrW(hwnd, GWL_STYLE);
}

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(Obj(brush));
}

HFONT DialogFont(HWND control) {
    const HWND parent = ::GetParent(control);
    HFONT font = parent != nullptr
                     ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0))
                     : nullptr;
    return font != nullptr ? font : reinterpret_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

// ---- CStatic -------------------------------------------------------------------------------

void CStatic::SetBitmapResource(UINT id) {
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, static_cast<LONG_PTR>(id));
    Invalidate();
}

LRESULT CStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painted whole by WM_PAINT
        case WM_SETTEXT: {
            const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
            Invalidate();
            return result;
        }
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CStatic::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const LONG_PTR style = Style(m_hWnd);
    if ((style & SS_TYPEMASK) == SS_BITMAP) {
        const UINT id = static_cast<UINT>(::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA));
        LPCWSTR name = MAKEINTRESOURCEW(id);
        HBITMAP bitmap =
            id != 0 ? ::LoadBitmapW(AfxFindResourceHandle(name, RT_BITMAP), name) : nullptr;
        if (bitmap != nullptr) {
            HDC memory = ::CreateCompatibleDC(dc);
            HGDIOBJ old = ::SelectObject(memory, Obj(bitmap));
            BITMAP info{};
            ::GetObjectW(Obj(bitmap), sizeof info, &info);
            ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
            ::SelectObject(memory, old);
            ::DeleteDC(memory);
            ::DeleteObject(Obj(bitmap));
        }
        ::EndPaint(m_hWnd, &ps);
        return;
    }
    FillColour(dc, client, ::GetSysColor(COLOR_BTNFACE));
    // A border or client edge is USER's frame around the client area, not painted here.
    RECT text = client;
    UINT format = DT_NOPREFIX;
    switch (style & SS_TYPEMASK) {
        case SS_CENTER:
            format |= DT_CENTER;
            break;
        case SS_RIGHT:
            format |= DT_RIGHT;
            break;
        default:
            break;
    }
    if ((style & SS_CENTERIMAGE) != 0) {
        format |= DT_SINGLELINE | DT_VCENTER;
    } else {
        format |= DT_WORDBREAK;
    }
    HGDIOBJ oldFont = ::SelectObject(dc, Obj(DialogFont(m_hWnd)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::IsWindowEnabled(m_hWnd) ? ::GetSysColor(COLOR_WINDOWTEXT)
                                                 : ::GetSysColor(COLOR_GRAYTEXT));
    const WideString content = GetWindowText();
    ::DrawTextW(dc, content.c_str(), static_cast<int>(content.size()), &text, format);
    ::SelectObject(dc, oldFont);
    ::EndPaint(m_hWnd, &ps);
}

// ---- CButton -------------------------------------------------------------------------------

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (::IsWindowEnabled(m_hWnd)) {
                ::SetCapture(m_hWnd);
                ::SetFocus(m_hWnd);
                m_tracking = true;
                SetPressed(true);
            }
            return 0;
        case WM_MOUSEMOVE:
            if (m_tracking) {
                RECT client;
                ::GetClientRect(m_hWnd, &client);
                SetPressed(::PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
            }
            return 0;
        case WM_LBUTTONUP:
            if (m_tracking) {
                const bool clicked = m_pressed;
                m_tracking = false;
                SetPressed(false);
                ::ReleaseCapture();
                if (clicked && ::IsWindowEnabled(m_hWnd)) {
                    // The parent may end the dialog and destroy this button: nothing after this.
                    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND,
                                   MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                                   reinterpret_cast<LPARAM>(m_hWnd));
                }
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (m_tracking && reinterpret_cast<HWND>(lParam) != m_hWnd) {
                m_tracking = false;
                SetPressed(false);
            }
            return 0;
        case WM_ENABLE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate(FALSE);
            return CWnd::WindowProc(message, wParam, lParam);
        case WM_GETDLGCODE:
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CButton::SetPressed(bool pressed) {
    if (pressed != m_pressed) {
        m_pressed = pressed;
        Invalidate(FALSE);
    }
}

void CButton::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    UINT state = 0;
    if (m_pressed)
        state |= ODS_SELECTED;
    if (!::IsWindowEnabled(m_hWnd))
        state |= ODS_DISABLED;
    if (::GetFocus() == m_hWnd)
        state |= ODS_FOCUS;
    if ((Style(m_hWnd) & BS_TYPEMASK) == BS_OWNERDRAW) {
        DRAWITEMSTRUCT dis{ODT_BUTTON, static_cast<UINT>(GetDlgCtrlID()),
                           0,          ODA_DRAWENTIRE,
                           state,      m_hWnd,
                           dc,         client,
                           0};
        ::SendMessageW(::GetParent(m_hWnd), WM_DRAWITEM, static_cast<WPARAM>(dis.CtlID),
                       reinterpret_cast<LPARAM>(&dis));
    } else {
        // A plain push button: face, a raised (or, pressed, sunken) edge and the centred text.
        FillColour(dc, client, ::GetSysColor(COLOR_BTNFACE));
        const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        const COLORREF dark = ::GetSysColor(COLOR_3DDKSHADOW);
        const COLORREF topLeft = m_pressed ? dark : light;
        const COLORREF bottomRight = m_pressed ? light : dark;
        const RECT& r = client;
        FillColour(dc, RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
        FillColour(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
        FillColour(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        FillColour(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        HGDIOBJ oldFont = ::SelectObject(dc, Obj(DialogFont(m_hWnd)));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, (state & ODS_DISABLED) != 0 ? ::GetSysColor(COLOR_GRAYTEXT)
                                                       : ::GetSysColor(COLOR_BTNTEXT));
        RECT text = client;
        if (m_pressed)
            ::OffsetRect(&text, 1, 1);
        const WideString content = GetWindowText();
        ::DrawTextW(dc, content.c_str(), static_cast<int>(content.size()), &text,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SelectObject(dc, oldFont);
    }
    ::EndPaint(m_hWnd, &ps);
}

// ---- CListBox ------------------------------------------------------------------------------

int CListBox::GetCount() const {
    return static_cast<int>(m_items.size());
}
int CListBox::GetCurSel() const {
    return m_sel;
}
int CListBox::GetTopIndex() const {
    return m_top;
}
DWORD_PTR CListBox::GetItemData(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return static_cast<DWORD_PTR>(LB_ERR);
    }
    return m_items[static_cast<std::size_t>(nIndex)].data;
}
RECT CListBox::ItemArea() const {
    RECT area;
    ::GetClientRect(m_hWnd, &area);
    if ((Style(m_hWnd) & WS_VSCROLL) != 0 &&
        (ScrollBarNeeded() || (Style(m_hWnd) & LBS_DISABLENOSCROLL) != 0)) {
        area.right = std::max(area.left, area.right - kScrollBarWidth);
    }
    return area;
}

bool CListBox::ScrollBarNeeded() const {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int total = 0;
    for (const Item& item : m_items)
        total += item.height;
    return total > client.bottom - client.top;
}

int CListBox::ItemAt(POINT pt) const {
    const RECT area = ItemArea();
    if (!::PtInRect(&area, pt)) {
        return -1;
    }
    int y = area.top;
    for (int i = m_top; i < GetCount(); ++i) {
        const int h = m_items[static_cast<std::size_t>(i)].height;
        if (pt.y >= y && pt.y < y + h)
            return i;
        y += h;
    }
    return -1;
}

// The highest top index that still shows the last item whole.
int CListBox::LastFullyVisibleTop() const {
    const RECT area = ItemArea();
    int room = area.bottom - area.top;
    int top = GetCount();
    while (top > 0 && room >= m_items[static_cast<std::size_t>(top - 1)].height) {
        room -= m_items[static_cast<std::size_t>(top - 1)].height;
        --top;
    }
    return std::min(top, std::max(GetCount() - 1, 0));
}

void CListBox::EnsureVisible(int index) {
    if (index < 0 || index >= GetCount())
        return;
    if (index < m_top) {
        m_top = index;
        return;
    }
    const RECT area = ItemArea();
    int bottom = area.top;
    for (int i = m_top; i <= index; ++i)
        bottom += m_items[static_cast<std::size_t>(i)].height;
    while (bottom > area.bottom && m_top < index) {
        bottom -= m_items[static_cast<std::size_t>(m_top)].height;
        ++m_top;
    }
}

void CListBox::Scroll(int delta) {
    const int top = std::clamp(m_top + delta, 0, LastFullyVisibleTop());
    if (top != m_top) {
        m_top = top;
        Invalidate();
    }
}

void CListBox::Notify(UINT code) {
    if ((Style(m_hWnd) & LBS_NOTIFY) != 0) {
        ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code),
                       reinterpret_cast<LPARAM>(m_hWnd));
    }
}

void CListBox::SelectByUser(int index) {
    if (index < 0 || index >= GetCount() || index == m_sel) {
        return;
    }
    m_sel = index;
    EnsureVisible(index);
    Invalidate();
    Notify(LBN_SELCHANGE);
}

void CListBox::OnKey(UINT vk) {
    const HWND self = m_hWnd;
    if ((Style(self) & LBS_WANTKEYBOARDINPUT) != 0) {
        const LRESULT answer = ::SendMessageW(::GetParent(self), WM_VKEYTOITEM,
                                              MAKEWPARAM(static_cast<int>(vk), std::max(m_sel, 0)),
                                              reinterpret_cast<LPARAM>(self));
        if (!::IsWindow(self) || answer == -2) {
            return;
        }
        if (answer >= 0) {
            SelectByUser(static_cast<int>(answer));
            return;
        }
    }
    switch (vk) {
        case VK_UP:
            SelectByUser(std::max(m_sel - 1, 0));
            break;
        case VK_DOWN:
            SelectByUser(std::min(m_sel + 1, GetCount() - 1));
            break;
        case VK_HOME:
            SelectByUser(0);
            break;
        case VK_END:
            SelectByUser(GetCount() - 1);
            break;
        default:
            break;
    }
}

void CListBox::OnCharacter(WCHAR ch) {
    const LONG_PTR style = Style(m_hWnd);
    // Only a list without strings that wants the keyboard asks its owner; a list without
    // strings has nothing to search for, so -1 (and -2) change nothing.
    if ((style & LBS_WANTKEYBOARDINPUT) == 0 || (style & LBS_HASSTRINGS) != 0) {
        return;
    }
    const LRESULT answer = ::SendMessageW(::GetParent(m_hWnd), WM_CHARTOITEM,
                                          MAKEWPARAM(static_cast<int>(ch), std::max(m_sel, 0)),
                                          reinterpret_cast<LPARAM>(m_hWnd));
    if (answer < 0 || answer >= GetCount()) {
        return;
    }
    // user32 moves to the item and notifies even when it was selected already.
    m_sel = static_cast<int>(answer);
    EnsureVisible(m_sel);
    Invalidate();
    Notify(LBN_SELCHANGE);
}

LRESULT CListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case LB_ADDSTRING: {
            const int index = GetCount();
            MEASUREITEMSTRUCT mis{
                ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID()), static_cast<UINT>(index), 0,
                16,          static_cast<ULONG_PTR>(lParam)};
            RECT area = ItemArea();
            mis.itemWidth = static_cast<UINT>(area.right - area.left);
            ::SendMessageW(::GetParent(m_hWnd), WM_MEASUREITEM, mis.CtlID,
                           reinterpret_cast<LPARAM>(&mis));
            m_items.push_back({static_cast<ULONG_PTR>(lParam),
                               std::max(1, static_cast<int>(std::min<UINT>(mis.itemHeight, 255)))});
            Invalidate();
            return index;
        }
        case LB_GETCOUNT:
            return GetCount();
        case LB_GETCURSEL:
            return m_sel;
        case LB_SETCURSEL: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= GetCount()) {
                m_sel = -1;
                Invalidate();
                return LB_ERR;
            }
            m_sel = index;
            EnsureVisible(index);
            Invalidate();
            return index;
        }
        case LB_GETITEMDATA:
            return static_cast<LRESULT>(GetItemData(static_cast<int>(wParam)));
        case LB_SETITEMDATA: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= GetCount())
                return LB_ERR;
            m_items[static_cast<std::size_t>(index)].data = static_cast<ULONG_PTR>(lParam);
            Invalidate();
            return 0;
        }
        case LB_GETTOPINDEX:
            return m_top;
        case LB_SETTOPINDEX: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= std::max(GetCount(), 1))
                return LB_ERR;
            m_top = std::min(index, LastFullyVisibleTop());
            Invalidate();
            return 0;
        }
        case LB_GETITEMHEIGHT: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= GetCount())
                return LB_ERR;
            return m_items[static_cast<std::size_t>(index)].height;
        }
        case LB_GETITEMRECT: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= GetCount() || lParam == 0)
                return LB_ERR;
            const RECT area = ItemArea();
            int y = area.top;
            for (int i = m_top; i < index; ++i)
                y += m_items[static_cast<std::size_t>(i)].height;
            for (int i = index; i < m_top; ++i)
                y -= m_items[static_cast<std::size_t>(i)].height;
            *reinterpret_cast<RECT*>(lParam) =
                RECT{area.left, y, area.right, y + m_items[static_cast<std::size_t>(index)].height};
            return 0;
        }
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            ::SetFocus(m_hWnd);
            const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT client;
            ::GetClientRect(m_hWnd, &client);
            const RECT area = ItemArea();
            if (pt.x >= area.right && pt.x < client.right) {
                // The scroll bar: its upper half scrolls up, its lower half down.
                Scroll(pt.y < (client.top + client.bottom) / 2 ? -1 : 1);
                return 0;
            }
            const int index = ItemAt(pt);
            if (index < 0)
                return 0;
            if (message == WM_LBUTTONDOWN) {
                SelectByUser(index);
            } else {
                const HWND self = m_hWnd;
                SelectByUser(index);
                if (::IsWindow(self))
                    Notify(LBN_DBLCLK);
            }
            return 0;
        }
        case WM_MOUSEWHEEL:
            Scroll(static_cast<SHORT>(HIWORD(wParam)) > 0 ? -1 : 1);
            return 0;
        case WM_KEYDOWN:
            OnKey(static_cast<UINT>(wParam));
            return 0;
        case WM_CHAR:
            OnCharacter(static_cast<WCHAR>(wParam));
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_SIZE:
            Invalidate();
            return CWnd::WindowProc(message, wParam, lParam);
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CListBox::PaintScrollBar(HDC dc, const RECT& bar) {
    const bool active = ScrollBarNeeded();
    FillColour(dc, bar, ::GetSysColor(COLOR_SCROLLBAR));
    const int side = bar.right - bar.left;
    const COLORREF arrow = active ? ::GetSysColor(COLOR_BTNTEXT) : ::GetSysColor(COLOR_GRAYTEXT);
    for (int end = 0; end < 2; ++end) {
        const RECT box = end == 0 ? RECT{bar.left, bar.top, bar.right, bar.top + side}
                                  : RECT{bar.left, bar.bottom - side, bar.right, bar.bottom};
        FillColour(dc, box, ::GetSysColor(COLOR_BTNFACE));
        FillColour(dc, RECT{box.left, box.bottom - 1, box.right, box.bottom},
                   ::GetSysColor(COLOR_BTNSHADOW));
        FillColour(dc, RECT{box.right - 1, box.top, box.right, box.bottom},
                   ::GetSysColor(COLOR_BTNSHADOW));
        // A small triangle pointing up or down.
        const int cx = (box.left + box.right) / 2;
        const int cy = (box.top + box.bottom) / 2;
        for (int row = 0; row < 4; ++row) {
            const int y = end == 0 ? cy - 2 + row : cy + 1 - row;
            FillColour(dc, RECT{cx - row, y, cx + row + 1, y + 1}, arrow);
        }
    }
    if (active) {
        // The thumb: where the top item lies among all.
        const int track = bar.bottom - bar.top - 3 * side;
        const int count = std::max(GetCount() - 1, 1);
        const int y = bar.top + side + track * m_top / count;
        FillColour(dc, RECT{bar.left, y, bar.right, y + side}, ::GetSysColor(COLOR_BTNFACE));
        FillColour(dc, RECT{bar.left, y + side - 1, bar.right, y + side},
                   ::GetSysColor(COLOR_BTNSHADOW));
    }
}

void CListBox::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const RECT area = ItemArea();
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    FillColour(dc, area, ::GetSysColor(COLOR_WINDOW));
    if (area.right < client.right) {
        PaintScrollBar(dc, RECT{area.right, client.top, client.right, client.bottom});
    }
    const bool focused = ::GetFocus() == m_hWnd;
    int y = area.top;
    for (int i = m_top; i < GetCount() && y < area.bottom; ++i) {
        const Item& item = m_items[static_cast<std::size_t>(i)];
        UINT state = 0;
        if (i == m_sel)
            state |= ODS_SELECTED | (focused ? ODS_FOCUS : 0);
        DRAWITEMSTRUCT dis{ODT_LISTBOX,
                           static_cast<UINT>(GetDlgCtrlID()),
                           static_cast<UINT>(i),
                           ODA_DRAWENTIRE,
                           state,
                           m_hWnd,
                           dc,
                           RECT{area.left, y, area.right, y + item.height},
                           item.data};
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        ::SendMessageW(::GetParent(m_hWnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        y += item.height;
    }
    if (GetCount() == 0 && focused) {
        // An empty list with the focus asks its owner for the focus alone: item -1, one row of
        // the font's height at the top. The owner decides whether a rectangle is drawn.
        DRAWITEMSTRUCT dis{ODT_LISTBOX,
                           static_cast<UINT>(GetDlgCtrlID()),
                           static_cast<UINT>(-1),
                           ODA_FOCUS,
                           ODS_FOCUS,
                           m_hWnd,
                           dc,
                           RECT{area.left, area.top, area.right, area.top + FontHeight(dc)},
                           0};
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        ::SendMessageW(::GetParent(m_hWnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    }
    ::EndPaint(m_hWnd, &ps);
}

int CListBox::FontHeight(HDC dc) const {
    HGDIOBJ old = ::SelectObject(dc, Obj(DialogFont(m_hWnd)));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    return metrics.tmHeight;
}
