// The in-memory property bag.
#include "platform/com_property_bag.h"

#include "platform/text_conversion.h"

MemoryPropertyBag::~MemoryPropertyBag() {
    for (auto& entry : values_) {
        VariantClear(&entry.second);
    }
}

HRESULT MemoryPropertyBag::Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog*) {
    if (pszPropName == nullptr || pVar == nullptr) {
        return E_POINTER;
    }
    auto found = values_.find(Utf16ToUtf8(Utf16View(pszPropName)));
    if (found == values_.end()) {
        return E_INVALIDARG;
    }
    const VARTYPE wanted = pVar->vt;
    if (wanted == VT_EMPTY) {
        return VariantCopy(pVar, &found->second);
    }
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT hr = VariantChangeType(&converted, &found->second, 0, wanted);
    if (FAILED(hr)) {
        return hr;
    }
    *pVar = converted;  // pVar held only a type request
    return S_OK;
}

HRESULT MemoryPropertyBag::Write(LPCOLESTR pszPropName, VARIANT* pVar) {
    if (pszPropName == nullptr || pVar == nullptr) {
        return E_POINTER;
    }
    VARIANT copy;
    VariantInit(&copy);
    const HRESULT hr = VariantCopyInd(&copy, pVar);
    if (FAILED(hr)) {
        return hr;
    }
    VARIANT& slot = values_[Utf16ToUtf8(Utf16View(pszPropName))];
    VariantClear(&slot);
    slot = copy;
    return S_OK;
}

std::string MemoryPropertyBag::Format() const {
    std::string out;
    for (const auto& [name, value] : values_) {
        VARIANT text;
        VariantInit(&text);
        const HRESULT hr = VariantChangeType(&text, &value, VARIANT_ALPHABOOL, VT_BSTR);
        if (!out.empty()) {
            out += ' ';
        }
        out += name + "=" + (SUCCEEDED(hr) ? BstrToUtf8(text.bstrVal) : "?");
        VariantClear(&text);
    }
    return out;
}
