// The standard font object: a counted IDispatch over a FONTDESC.
#include "platform/std_font.h"

#include "platform/ascii_case.h"
#include "platform/oleauto.h"
#include "platform/unknown_base.h"

namespace {

constexpr DISPID kName = 0;
constexpr DISPID kSize = 2;
constexpr DISPID kBold = 3;
constexpr DISPID kItalic = 4;
constexpr DISPID kWeight = 7;

class StdFont final : public CountedObject<IDispatch> {
  public:
    explicit StdFont(const FONTDESC& desc)
        : name_(SysAllocString(desc.lpstrName != nullptr ? desc.lpstrName : u"")),
          size_(desc.cySize.int64),
          weight_(desc.sWeight),
          italic_(desc.fItalic != FALSE) {}
    ~StdFont() override { SysFreeString(name_); }

    HRESULT GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        static const struct {
            const char16_t* name;
            DISPID id;
        } known[] = {{u"name", kName},
                     {u"size", kSize},
                     {u"bold", kBold},
                     {u"italic", kItalic},
                     {u"weight", kWeight}};
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            const std::u16string folded = FoldedAscii(std::u16string_view(names[i]));
            for (const auto& k : known) {
                if (folded == k.name) {
                    ids[i] = k.id;
                }
            }
            if (ids[i] == DISPID_UNKNOWN) {
                hr = DISP_E_UNKNOWNNAME;
            }
        }
        return hr;
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO*, UINT*) override {
        if ((flags & DISPATCH_PROPERTYPUT) != 0) {
            if (params == nullptr || params->cArgs != 1) {
                return DISP_E_BADPARAMCOUNT;
            }
            return Put(id, params->rgvarg[0]);
        }
        if (result == nullptr) {
            return S_OK;
        }
        VariantInit(result);
        switch (id) {
            case kName:
                result->vt = VT_BSTR;
                result->bstrVal = SysAllocStringLen(name_, SysStringLen(name_));
                return S_OK;
            case kSize:
                result->vt = VT_CY;
                result->llVal = size_;
                return S_OK;
            case kBold:
                result->vt = VT_BOOL;
                result->boolVal = weight_ >= FW_BOLD ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            case kItalic:
                result->vt = VT_BOOL;
                result->boolVal = italic_ ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            case kWeight:
                result->vt = VT_I2;
                result->iVal = weight_;
                return S_OK;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

  private:
    HRESULT Put(DISPID id, const VARIANT& value) {
        VARIANT v;
        VariantInit(&v);
        HRESULT hr = S_OK;
        switch (id) {
            case kName:
                hr = VariantChangeType(&v, &value, 0, VT_BSTR);
                if (SUCCEEDED(hr)) {
                    SysFreeString(name_);
                    name_ = v.bstrVal;
                    v.vt = VT_EMPTY;
                }
                break;
            case kSize:
                if (value.vt == VT_CY) {
                    size_ = value.llVal;
                } else if (SUCCEEDED(hr = VariantChangeType(&v, &value, 0, VT_R8))) {
                    size_ = static_cast<LONGLONG>(v.dblVal * 10000.0 + 0.5);
                }
                break;
            case kBold:
                if (SUCCEEDED(hr = VariantChangeType(&v, &value, 0, VT_BOOL))) {
                    weight_ = v.boolVal != VARIANT_FALSE ? FW_BOLD : FW_NORMAL;
                }
                break;
            case kItalic:
                if (SUCCEEDED(hr = VariantChangeType(&v, &value, 0, VT_BOOL))) {
                    italic_ = v.boolVal != VARIANT_FALSE;
                }
                break;
            case kWeight:
                if (SUCCEEDED(hr = VariantChangeType(&v, &value, 0, VT_I2))) {
                    weight_ = v.iVal;
                }
                break;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
        VariantClear(&v);
        return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
    }

    BSTR name_;
    LONGLONG size_;
    SHORT weight_;
    bool italic_;
};

bool GetProperty(IDispatch* font, DISPID id, VARIANT* out) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VariantInit(out);
    return SUCCEEDED(
        font->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr));
}

}  // namespace

HRESULT OleCreateFontIndirect(const FONTDESC* desc, REFIID riid, void** ppv) {
    if (desc == nullptr || ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    auto* font = new StdFont(*desc);
    const HRESULT hr = font->QueryInterface(riid, ppv);
    font->Release();
    return hr;
}

bool ReadFontDesc(IDispatch* font, FONTDESC* desc) {
    if (font == nullptr || desc == nullptr) {
        return false;
    }
    VARIANT v;
    if (GetProperty(font, kName, &v) && v.vt == VT_BSTR) {
        desc->lpstrName = v.bstrVal;
    } else {
        VariantClear(&v);
    }
    if (GetProperty(font, kSize, &v) && v.vt == VT_CY) {
        desc->cySize.int64 = v.llVal;
    }
    if (GetProperty(font, kWeight, &v) && v.vt == VT_I2) {
        desc->sWeight = v.iVal;
    }
    if (GetProperty(font, kItalic, &v) && v.vt == VT_BOOL) {
        desc->fItalic = v.boolVal != VARIANT_FALSE;
    }
    return true;
}
