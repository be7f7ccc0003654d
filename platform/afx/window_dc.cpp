// CPaintDC and CClientDC over USER's window device contexts.
#include "platform/afx/window_dc.h"

CPaintDC::CPaintDC(CWnd* pWnd) : hwnd_(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
    Attach(::BeginPaint(hwnd_, &m_ps));
}

CPaintDC::~CPaintDC() {
    // EndPaint frees the device context that BeginPaint gave.
    Detach();
    ::EndPaint(hwnd_, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : hwnd_(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
    Attach(::GetDC(hwnd_));
}

CClientDC::~CClientDC() {
    ::ReleaseDC(hwnd_, Detach());
}
