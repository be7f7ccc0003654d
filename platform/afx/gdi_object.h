// The framework's GDI object wrappers: CGdiObject owns one GDI handle and deletes it with
// itself; CBitmap, CFont and CBrush add the calls that create each kind.
#pragma once

#include <string>

#include "platform/gdi.h"

class CDC;

class CGdiObject {
  public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }

    // Takes ownership of `object` (the wrapper must be empty); FALSE for null.
    BOOL Attach(HGDIOBJ object);
    // Gives up ownership and returns the handle.
    HGDIOBJ Detach();
    // Deletes the handle (FALSE when empty or when GDI refuses, e.g. still selected).
    BOOL DeleteObject();
    // GetObjectW of the handle.
    int GetObject(int size, void* out) const;
};

class CBitmap : public CGdiObject {
  public:
    operator HBITMAP() const { return reinterpret_cast<HBITMAP>(m_hObject); }

    // Loads bitmap resource `id` from the module that holds it (AfxFindResourceHandle).
    BOOL LoadBitmap(UINT id);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }
};

class CFont : public CGdiObject {
  public:
    operator HFONT() const { return reinterpret_cast<HFONT>(m_hObject); }

    BOOL CreateFontIndirect(const LOGFONTW* logfont);
    // A font of `pointTenths` tenths of a point at 96 dots an inch, face `face` (UTF-8).
    BOOL CreatePointFont(int pointTenths, const char* face);
    int GetLogFont(LOGFONTW* logfont) const { return GetObject(sizeof(LOGFONTW), logfont); }
};

class CBrush : public CGdiObject {
  public:
    CBrush() = default;
    // A solid brush of `color`; an empty wrapper if GDI cannot make one.
    explicit CBrush(COLORREF color);
    operator HBRUSH() const { return reinterpret_cast<HBRUSH>(m_hObject); }

    BOOL CreateSolidBrush(COLORREF color);
};
