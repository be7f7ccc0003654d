// The window device contexts of the framework: CPaintDC paints a window in answer to WM_PAINT
// (BeginPaint in its constructor, EndPaint in its destructor), CClientDC draws on a window's
// client area at any time (GetDC / ReleaseDC).
#pragma once

#include "platform/afx/dc.h"
#include "platform/afx/wnd.h"

class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};  // rcPaint: the part to paint, in client coordinates

  private:
    HWND hwnd_;
};

class CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

  private:
    HWND hwnd_;
};
