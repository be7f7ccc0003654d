// CDialog on Linux: building a dialog and its items from the template, the modal loop and the
// dialog keyboard.
#include "platform/afx/dialog.h"

#include <algorithm>

#include "platform/afx/afx_resources.h"
#include "platform/afx/controls.h"
#include "platform/resources.h"

namespace {

// GDI handles of every kind pass as HGDIOBJ to the object calls.
template <typename Handle>
HGDIOBJ Obj(Handle handle) {
    return reinterpret_cast<HGDIOBJ>(handle);
}

bool IsChildWindow(HWND hwnd) {
    return (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0;
}

// Whether `hwnd` is `ancestor` or lies inside it.
bool IsWithin(HWND hwnd, HWND ancestor) {
    for (HWND h = hwnd; h != nullptr; h = IsChildWindow(h) ? ::GetParent(h) : nullptr) {
        if (h == ancestor)
            return true;
    }
    return false;
}

// The direct child of `dialog` that holds `hwnd`.
HWND ItemOf(HWND dialog, HWND hwnd) {
    HWND h = hwnd;
    while (h != nullptr && IsChildWindow(h) && ::GetParent(h) != dialog)
        h = ::GetParent(h);
    return h != nullptr && IsChildWindow(h) && ::GetParent(h) == dialog ? h : nullptr;
}

// The next (or previous) item after `from` that takes the focus by Tab, wrapping around.
HWND NextTabItem(HWND dialog, HWND from, bool backwards) {
    std::vector<HWND> items;
    for (HWND h = ::GetWindow(dialog, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        items.push_back(h);
    }
    // GW_CHILD gives the topmost child; dialog items are created in template order, each
    // below the ones before, so the sibling order is the template's.
    const auto takesTab = [](HWND h) {
        return (::GetWindowLongPtrW(h, GWL_STYLE) & WS_TABSTOP) != 0 && ::IsWindowVisible(h) &&
               ::IsWindowEnabled(h);
    };
    const auto n = static_cast<std::ptrdiff_t>(items.size());
    if (n == 0)
        return nullptr;
    std::ptrdiff_t start = std::find(items.begin(), items.end(), from) - items.begin();
    if (start == n)
        start = backwards ? 0 : n - 1;
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t i = ((start + (backwards ? -step : step)) % n + n) % n;
        if (takesTab(items[static_cast<std::size_t>(i)]))
            return items[static_cast<std::size_t>(i)];
    }
    return nullptr;
}

// Sends WM_INITDIALOG; when the dialog answers TRUE, the first item that takes Tab gets the
// focus.
void InitDialog(HWND dialog) {
    HWND firstTab = NextTabItem(dialog, nullptr, false);
    if (::SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTab), 0) != 0 &&
        ::IsWindow(dialog)) {
        if (HWND focus = NextTabItem(dialog, nullptr, false))
            ::SetFocus(focus);
    }
}

}  // namespace

BOOL IsDialogMessageW(HWND dialog, MSG* msg) {
    if (dialog == nullptr || msg == nullptr || msg->hwnd == nullptr ||
        !IsWithin(msg->hwnd, dialog)) {
        return FALSE;
    }
    if (msg->message == WM_KEYDOWN) {
        const LRESULT code =
            ::SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        const UINT vk = static_cast<UINT>(msg->wParam);
        if ((code & DLGC_WANTALLKEYS) == 0) {
            if (vk == VK_TAB && (code & DLGC_WANTTAB) == 0) {
                const bool back = (::GetKeyState(static_cast<int>(VK_SHIFT)) & 0x8000) != 0;
                if (HWND next = NextTabItem(dialog, ItemOf(dialog, msg->hwnd), back)) {
                    ::SetFocus(next);
                }
                return TRUE;
            }
            if (vk == VK_RETURN || vk == VK_ESCAPE) {
                const int id = vk == VK_RETURN ? IDOK : IDCANCEL;
                ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
                return TRUE;
            }
        }
    }
    ::TranslateMessage(msg);
    ::DispatchMessageW(msg);
    return TRUE;
}

void CDialog::MapDialogRect(LPRECT rect) const {
    if (rect == nullptr)
        return;
    const auto scale = [](LONG v, LONG units, LONG per) {
        // MulDiv: rounded half away from zero.
        const long long p = static_cast<long long>(v) * units;
        return static_cast<LONG>(p >= 0 ? (p + per / 2) / per : -((-p + per / 2) / per));
    };
    rect->left = scale(rect->left, m_baseUnits.cx, 4);
    rect->right = scale(rect->right, m_baseUnits.cx, 4);
    rect->top = scale(rect->top, m_baseUnits.cy, 8);
    rect->bottom = scale(rect->bottom, m_baseUnits.cy, 8);
}

SIZE CDialog::GetBaseUnits() const {
    return m_baseUnits;
}

void CDialog::BindItem(HWND item, CWnd& control) {
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if ((*it)->m_hWnd == item) {
            (*it)->Detach();
            m_items.erase(it);
            break;
        }
    }
    control.Attach(item);
}

bool CDialog::CreateFromTemplate(HWND owner, bool asChild, POINT origin) {
    LPCWSTR name = MAKEINTRESOURCEW(m_nIDHelp);
    const HINSTANCE instance = AfxFindResourceHandle(name, RT_DIALOG);
    HRSRC found = ::FindResourceW(instance, name, RT_DIALOG);
    if (found == nullptr)
        return false;
    const auto* data =
        static_cast<const unsigned char*>(::LockResource(::LoadResource(instance, found)));
    platform::DialogTemplate tpl;
    std::string error;
    if (data == nullptr) {
        return false;
    }
    const DWORD size = ::SizeofResource(instance, found);
    if (!platform::ReadDialogTemplate(data, size, &tpl, &error)) {
        return false;
    }

    // The template font (8 points at 96 dots per inch unless given) sets the dialog units.
    LOGFONTW lf{};
    const int points = tpl.hasFont ? tpl.pointSize : 8;
    lf.lfHeight = -((points * 96 + 36) / 72);
    lf.lfWeight = tpl.hasFont && tpl.weight != 0 ? tpl.weight : 400;
    lf.lfItalic = tpl.italic;
    lf.lfCharSet = tpl.charset;
    const WideString face = tpl.hasFont ? tpl.face : WSTR("MS Shell Dlg");
    std::copy_n(face.begin(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1), lf.lfFaceName);
    m_font.CreateFontIndirect(&lf);
    if (HDC dc = ::GetDC(nullptr)) {
        HGDIOBJ old = ::SelectObject(dc, m_font.m_hObject);
        TEXTMETRICW tm{};
        SIZE size{};
        static const WCHAR kAlphabet[] =
            WSTR("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        if (::GetTextMetricsW(dc, &tm) && ::GetTextExtentPoint32W(dc, kAlphabet, 52, &size)) {
            m_baseUnits = SIZE{(size.cx / 26 + 1) / 2, tm.tmHeight};
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
    }

    RECT rect{tpl.x, tpl.y, tpl.x + tpl.cx, tpl.y + tpl.cy};
    MapDialogRect(&rect);
    if (!asChild) {
        origin = POINT{rect.left, rect.top};
        if (owner != nullptr)
            ::ClientToScreen(owner, &origin);
    }
    ::OffsetRect(&rect, origin.x - rect.left, origin.y - rect.top);
    const DWORD style = asChild ? (tpl.style & ~(WS_VISIBLE | WS_POPUP)) | WS_CHILD
                                : (tpl.style & ~(WS_VISIBLE | WS_CHILD)) | WS_POPUP;
    // The owner only lends its handle: no temporary object is made for it, which would
    // outlive the dialog in this module's handle map.
    CWnd ownerWnd;
    ownerWnd.m_hWnd = owner;
    const BOOL created = CreateEx(tpl.exStyle, AfxFrameworkWindowClass(CS_DBLCLKS),
                                  tpl.title.c_str(), style, rect, &ownerWnd, 0);
    ownerWnd.m_hWnd = nullptr;
    if (!created) {
        return false;
    }
    CreateItems(tpl);
    return true;
}

void CDialog::CreateItems(const platform::DialogTemplate& tpl) {
    for (const platform::DialogItemTemplate& item : tpl.items) {
        std::unique_ptr<CWnd> object;
        const std::uint16_t atom = item.windowClass.isOrdinal ? item.windowClass.ordinal : 0;
        WideString className = item.windowClass.text;
        std::transform(className.begin(), className.end(), className.begin(), [](WCHAR c) {
            return c >= WSTR('a') && c <= WSTR('z') ? c - WSTR('a') + WSTR('A') : c;
        });
        if (atom == 0x80 || className == WSTR("BUTTON")) {
            object = std::make_unique<CButton>();
        } else if (atom == 0x82 || className == WSTR("STATIC")) {
            object = std::make_unique<CStatic>();
        } else if (atom == 0x83 || className == WSTR("LISTBOX")) {
            object = std::make_unique<CListBox>();
        } else {
            object = std::make_unique<CWnd>();
        }
        RECT rect{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(&rect);
        const WideString text = item.title.isOrdinal ? WideString() : item.title.text;
        // The dialog manager gives an item's WS_BORDER the 3-D look: a client edge instead.
        DWORD style = (item.style | WS_CHILD) & ~WS_POPUP;
        DWORD exStyle = item.exStyle;
        if ((style & WS_BORDER) != 0) {
            style &= ~WS_BORDER;
            exStyle |= WS_EX_CLIENTEDGE;
        }
        if (!object->CreateEx(exStyle, AfxFrameworkWindowClass(CS_DBLCLKS), text.c_str(), style,
                              rect, this, static_cast<UINT>(item.id & 0xFFFF))) {
            continue;
        }
        if (auto* picture = dynamic_cast<CStatic*>(object.get())) {
            if (item.title.isOrdinal)
                picture->SetBitmapResource(item.title.ordinal);
        }
        m_items.push_back(std::move(object));
    }
    // A picture lets the mouse through to the items it lies under, as a static does in
    // Windows: once all are made, pictures go behind the other items.
    for (const auto& object : m_items) {
        if (dynamic_cast<CStatic*>(object.get()) != nullptr &&
            (::GetWindowLongPtrW(object->m_hWnd, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            ::SetWindowPos(object->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

INT_PTR CDialog::DoModal() {
    const HWND owner = ModalOwner(m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr);
    if (!CreateFromTemplate(owner)) {
        m_items.clear();
        if (m_hWnd != nullptr)
            ::DestroyWindow(m_hWnd);
        return -1;
    }
    const bool disabledOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disabledOwner)
        ::EnableWindow(owner, FALSE);

    m_bContinueModal = TRUE;
    m_nModalResult = -1;
    InitDialog(m_hWnd);
    RunDialogLoop(owner, disabledOwner);
    m_items.clear();
    m_font.DeleteObject();
    return m_nModalResult;
}

BOOL CDialog::CreateAsChild(HWND parent, POINT origin) {
    if (parent == nullptr || m_hWnd != nullptr || !CreateFromTemplate(parent, true, origin)) {
        m_items.clear();
        if (m_hWnd != nullptr)
            ::DestroyWindow(m_hWnd);
        return FALSE;
    }
    const HWND self = m_hWnd;
    InitDialog(self);
    if (!::IsWindow(self))
        return FALSE;
    ::ShowWindow(self, SW_SHOW);
    return TRUE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = 0;
    if (HandleDialogMessage(message, wParam, lParam, &answer)) {
        return answer;
    }
    switch (message) {
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(m_font.m_hObject);
        case WM_ERASEBKGND: {
            RECT client;
            ::GetClientRect(m_hWnd, &client);
            HBRUSH brush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
            ::DeleteObject(Obj(brush));
            return 1;
        }
        default:
            break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
