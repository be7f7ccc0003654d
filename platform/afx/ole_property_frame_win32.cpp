// COleControl on Windows: the control's property pages in the system's property frame, for a
// container that does not show them itself.
#include <olectl.h>

#include "platform/afx/module_state.h"
#include "platform/afx/ole_control.h"
#include "platform/text_conversion.h"

HRESULT COleControl::ShowOwnPropertyFrame() {
    CAUUID pages{0, nullptr};
    HRESULT hr = GetPages(&pages);
    if (FAILED(hr))
        return hr;
    if (pages.cElems == 0) {
        CoTaskMemFree(pages.pElems);
        return E_NOTIMPL;
    }
    HWND owner = m_hWnd;
    if (owner == nullptr && m_pClientSite) {
        if (const ComPtr<IOleWindow> site = m_pClientSite.As<IOleWindow>(IID_IOleWindow))
            site->GetWindow(&owner);
    }
    std::string name;
    AfxLoadString(GetUserTypeNameID(), &name);
    const WideString caption = Utf8ToUtf16(name);
    IUnknown* self = nullptr;
    hr = ExternalQueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self));
    if (SUCCEEDED(hr)) {
        hr = OleCreatePropertyFrame(owner, 0, 0, caption.c_str(), 1, &self, pages.cElems,
                                    pages.pElems, GetUserDefaultLCID(), 0, nullptr);
        self->Release();
    }
    CoTaskMemFree(pages.pElems);
    return hr;
}
