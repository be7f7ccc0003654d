// CDC: ownership of the HDC and the wrappers that SelectObject hands back.
#include "platform/afx/dc.h"

#include <cstring>

#include "platform/text_conversion.h"

CDC::~CDC() {
    // Temporary wrappers never own their handles.
    for (auto& [handle, wrapper] : temporary_) {
        wrapper->Detach();
    }
    DeleteDC();
}

BOOL CDC::Attach(HDC hdc) {
    if (hdc == nullptr || m_hDC != nullptr) {
        return FALSE;
    }
    m_hDC = hdc;
    return TRUE;
}

HDC CDC::Detach() {
    HDC hdc = m_hDC;
    m_hDC = nullptr;
    return hdc;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    return Attach(::CreateCompatibleDC(dc != nullptr ? dc->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    const BOOL deleted = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    return deleted;
}

template <typename Wrapper>
Wrapper* CDC::WrapperFor(HGDIOBJ handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    if (auto it = selectedWrappers_.find(handle); it != selectedWrappers_.end()) {
        return static_cast<Wrapper*>(it->second);
    }
    std::unique_ptr<CGdiObject>& slot = temporary_[handle];
    if (!slot) {
        auto wrapper = std::make_unique<Wrapper>();
        wrapper->Attach(handle);
        slot = std::move(wrapper);
    }
    return static_cast<Wrapper*>(slot.get());
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    if (bitmap == nullptr)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, bitmap->m_hObject);
    if (previous == nullptr)
        return nullptr;
    selectedWrappers_[bitmap->m_hObject] = bitmap;
    return WrapperFor<CBitmap>(previous);
}

CFont* CDC::SelectObject(CFont* font) {
    if (font == nullptr)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, font->m_hObject);
    if (previous == nullptr)
        return nullptr;
    selectedWrappers_[font->m_hObject] = font;
    return WrapperFor<CFont>(previous);
}

CBrush* CDC::SelectObject(CBrush* brush) {
    if (brush == nullptr)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, brush->m_hObject);
    if (previous == nullptr)
        return nullptr;
    selectedWrappers_[brush->m_hObject] = brush;
    return WrapperFor<CBrush>(previous);
}

CGdiObject* CDC::SelectStockObject(int index) {
    HGDIOBJ previous = ::SelectObject(m_hDC, GetStockObject(index));
    return WrapperFor<CGdiObject>(previous);
}

void CDC::FillRect(LPCRECT rect, CBrush* brush) {
    ::FillRect(m_hDC, rect, brush != nullptr ? static_cast<HBRUSH>(*brush) : nullptr);
}

void CDC::FrameRect(LPCRECT rect, CBrush* brush) {
    ::FrameRect(m_hDC, rect, brush != nullptr ? static_cast<HBRUSH>(*brush) : nullptr);
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    ::SetBkColor(m_hDC, color);
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FillRect(m_hDC, rect, brush);
    ::DeleteObject(reinterpret_cast<HGDIOBJ>(brush));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    const RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, color);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xs, int ys, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, src != nullptr ? src->m_hDC : nullptr, xs, ys, rop);
}

BOOL CDC::TransparentBlt(int x, int y, int width, int height, CDC* src, int xs, int ys, int ws,
                         int hs, UINT transparent) {
    return ::TransparentBlt(m_hDC, x, y, width, height, src != nullptr ? src->m_hDC : nullptr, xs,
                            ys, ws, hs, transparent);
}

#ifdef _WIN32
// Windows' DrawTextA reads the ANSI code page: the UTF-8 text is drawn in its wide form.
int CDC::DrawText(LPCSTR text, int count, LPRECT rect, UINT format) {
    if (text == nullptr)
        return 0;
    const std::size_t length = count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
    return DrawText(std::string(text, length), rect, format);
}

int CDC::DrawText(const std::string& text, LPRECT rect, UINT format) {
    const WideString wide = Utf8ToUtf16(text);
    return ::DrawTextW(m_hDC, wide.c_str(), static_cast<int>(wide.size()), rect, format);
}
#else
int CDC::DrawText(LPCSTR text, int count, LPRECT rect, UINT format) {
    return ::DrawTextA(m_hDC, text, count, rect, format);
}

int CDC::DrawText(const std::string& text, LPRECT rect, UINT format) {
    return ::DrawTextA(m_hDC, text.data(), static_cast<int>(text.size()), rect, format);
}
#endif

int CDC::DrawText(LPCWSTR text, int count, LPRECT rect, UINT format) {
    return ::DrawTextW(m_hDC, text, count, rect, format);
}

CSize CDC::GetTextExtent(LPCSTR text, int count) const {
    if (text == nullptr)
        return CSize();
    const std::size_t length = count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
    return GetTextExtent(std::string(text, length));
}

CSize CDC::GetTextExtent(const std::string& text) const {
    const WideString wide = Utf8ToUtf16(text);
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(m_hDC, wide.data(), static_cast<int>(wide.size()), &size);
    return CSize(size);
}
