// CGdiObject and the creating calls of CBitmap, CFont and CBrush.
#include "platform/afx/gdi_object.h"

#include <algorithm>
#include <cstring>

#include "platform/afx/afx_resources.h"
#include "platform/afx/dc.h"
#include "platform/text_conversion.h"

CGdiObject::~CGdiObject() {
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (object == nullptr || m_hObject != nullptr) {
        return FALSE;
    }
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr || !::DeleteObject(m_hObject)) {
        return FALSE;
    }
    m_hObject = nullptr;
    return TRUE;
}

int CGdiObject::GetObject(int size, void* out) const {
    return m_hObject == nullptr ? 0 : ::GetObjectW(m_hObject, size, out);
}

BOOL CBitmap::LoadBitmap(UINT id) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_BITMAP);
    return Attach(reinterpret_cast<HGDIOBJ>(::LoadBitmapW(module, MAKEINTRESOURCEW(id))));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return Attach(reinterpret_cast<HGDIOBJ>(
        ::CreateCompatibleBitmap(dc != nullptr ? dc->m_hDC : nullptr, width, height)));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* logfont) {
    return Attach(reinterpret_cast<HGDIOBJ>(::CreateFontIndirectW(logfont)));
}

BOOL CFont::CreatePointFont(int pointTenths, const char* face) {
    constexpr int kDotsPerInch = 96;
    LOGFONTW lf{};
    // -MulDiv(points, dpi, 72) with tenths of a point, rounded half away from zero.
    lf.lfHeight = -((pointTenths * kDotsPerInch + 360) / 720);
    lf.lfWeight = FW_NORMAL;
    const WideString name = face != nullptr ? Utf8ToUtf16(face) : WideString();
    std::memcpy(lf.lfFaceName, name.data(),
                std::min<std::size_t>(name.size(), LF_FACESIZE - 1) * sizeof(WCHAR));
    return CreateFontIndirect(&lf);
}

CBrush::CBrush(COLORREF color) {
    CreateSolidBrush(color);
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    return Attach(reinterpret_cast<HGDIOBJ>(::CreateSolidBrush(color)));
}
