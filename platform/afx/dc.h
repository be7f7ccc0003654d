// CDC: the framework's device context wrapper. It owns its HDC when it created it
// (CreateCompatibleDC) or was given it by Attach, and deletes it with itself; objects that
// its SelectObject returns are the wrappers that were selected, or wrappers it keeps for
// handles selected by other code, valid while the CDC lives.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/afx/afx_types.h"
#include "platform/afx/gdi_object.h"

class CDC {
  public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // Takes ownership of `hdc` (deleted with the CDC unless detached).
    BOOL Attach(HDC hdc);
    HDC Detach();

    // A memory DC compatible with `dc` (null: the screen).
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    // Select an object; the previously selected one of its kind (null on failure).
    CBitmap* SelectObject(CBitmap* bitmap);
    CFont* SelectObject(CFont* font);
    CBrush* SelectObject(CBrush* brush);
    CGdiObject* SelectStockObject(int index);

    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }

    void FillRect(LPCRECT rect, CBrush* brush);
    void FrameRect(LPCRECT rect, CBrush* brush);
    // Fills with a colour without a brush object (MFC's way: the background colour's opaque
    // fill); the background colour becomes `color`, as MFC leaves it.
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);

    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xs, int ys, DWORD rop);
    BOOL TransparentBlt(int x, int y, int width, int height, CDC* src, int xs, int ys, int ws,
                        int hs, UINT transparent);

    // DrawText of UTF-8 text (count -1: up to the terminating 0).
    int DrawText(LPCSTR text, int count, LPRECT rect, UINT format);
    int DrawText(const std::string& text, LPRECT rect, UINT format);
    int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format);

    // The extent of UTF-8 text in the selected font.
    CSize GetTextExtent(LPCSTR text, int count) const;
    CSize GetTextExtent(const std::string& text) const;
    BOOL GetTextMetrics(TEXTMETRICW* metrics) const { return ::GetTextMetricsW(m_hDC, metrics); }

  private:
    // The wrapper to hand back for a previously selected handle.
    template <typename Wrapper>
    Wrapper* WrapperFor(HGDIOBJ handle);

    std::map<HGDIOBJ, CGdiObject*> selectedWrappers_;           // wrappers selected here
    std::map<HGDIOBJ, std::unique_ptr<CGdiObject>> temporary_;  // for handles selected elsewhere
};
