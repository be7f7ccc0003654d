// A control's properties in a stream: the bag, and the block format it writes and reads.
#include "platform/afx/property_stream.h"

#include <cstring>

namespace {

constexpr char kSignature[4] = {'O', 'C', 'P', 'X'};
constexpr WORD kVersion = 1;
constexpr ULONG kHeaderBytes = 16;
// A control's properties are a few hundred bytes; a larger block is damage, not data.
constexpr ULONG kMaxPayload = 16u << 20;

bool Storable(VARTYPE vt) {
    return vt == VT_I2 || vt == VT_I4 || vt == VT_BOOL || vt == VT_R8 || vt == VT_BSTR;
}

void Put(std::vector<BYTE>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<BYTE>(value >> (8 * i)));
    }
}

void PutUnits(std::vector<BYTE>& out, const WCHAR* units, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        Put(out, units[i], 2);
    }
}

std::vector<BYTE> Payload(const std::vector<WideString>& names,
                          const std::vector<const VARIANT*>& values) {
    std::vector<BYTE> out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const VARIANT& v = *values[i];
        Put(out, names[i].size(), 2);
        PutUnits(out, names[i].data(), names[i].size());
        Put(out, v.vt, 2);
        switch (v.vt) {
            case VT_I2:
                Put(out, static_cast<std::uint16_t>(v.iVal), 2);
                break;
            case VT_BOOL:
                Put(out, static_cast<std::uint16_t>(v.boolVal), 2);
                break;
            case VT_I4:
                Put(out, static_cast<std::uint32_t>(v.lVal), 4);
                break;
            case VT_R8: {
                std::uint64_t bits = 0;
                std::memcpy(&bits, &v.dblVal, sizeof bits);
                Put(out, bits, 8);
                break;
            }
            default: {  // VT_BSTR
                const UINT length = SysStringLen(v.bstrVal);
                Put(out, length, 4);
                PutUnits(out, v.bstrVal, length);
                break;
            }
        }
    }
    return out;
}

// Reads little-endian fields from a payload held in memory; any read past its end sets
// `failed` and gives 0.
class Reader {
  public:
    explicit Reader(const std::vector<BYTE>& bytes) : bytes_(bytes) {}
    std::uint64_t Take(int count) {
        if (failed || bytes_.size() - at_ < static_cast<std::size_t>(count)) {
            failed = true;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < count; ++i) {
            value |= static_cast<std::uint64_t>(bytes_[at_++]) << (8 * i);
        }
        return value;
    }
    WideString Units(std::size_t count) {
        if (failed || (bytes_.size() - at_) / 2 < count) {
            failed = true;
            return {};
        }
        WideString text(count, WSTR('\0'));
        for (WCHAR& unit : text) {
            unit = static_cast<WCHAR>(Take(2));
        }
        return text;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }
    bool failed = false;

  private:
    const std::vector<BYTE>& bytes_;
    std::size_t at_ = 0;
};

HRESULT ReadExactly(IStream* stream, void* into, ULONG count) {
    ULONG got = 0;
    const HRESULT hr = stream->Read(into, count, &got);
    if (FAILED(hr)) {
        return hr;
    }
    return got == count ? S_OK : STG_E_READFAULT;
}

}  // namespace

PropertyStreamBag::~PropertyStreamBag() {
    Clear();
}

void PropertyStreamBag::Clear() {
    for (Entry& entry : entries_) {
        VariantClear(&entry.value);
    }
    entries_.clear();
}

HRESULT PropertyStreamBag::Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog*) {
    if (pszPropName == nullptr || pVar == nullptr) {
        return E_POINTER;
    }
    for (Entry& entry : entries_) {
        if (entry.name == pszPropName) {
            if (pVar->vt == VT_EMPTY) {
                return VariantCopy(pVar, &entry.value);
            }
            VARIANT converted;
            VariantInit(&converted);
            const HRESULT hr = VariantChangeType(&converted, &entry.value, 0, pVar->vt);
            if (SUCCEEDED(hr)) {
                *pVar = converted;  // pVar held only a type request
            }
            return hr;
        }
    }
    return E_INVALIDARG;
}

HRESULT PropertyStreamBag::Write(LPCOLESTR pszPropName, VARIANT* pVar) {
    if (pszPropName == nullptr || pVar == nullptr) {
        return E_POINTER;
    }
    VARIANT copy;
    VariantInit(&copy);
    HRESULT hr = VariantCopyInd(&copy, pVar);
    if (FAILED(hr)) {
        return hr;
    }
    if (!Storable(copy.vt) || WideStringView(pszPropName).size() > 0xFFFF) {
        VariantClear(&copy);
        return DISP_E_BADVARTYPE;
    }
    for (Entry& entry : entries_) {
        if (entry.name == pszPropName) {
            VariantClear(&entry.value);
            entry.value = copy;
            return S_OK;
        }
    }
    entries_.push_back({pszPropName, copy});
    return S_OK;
}

ULONGLONG PropertyStreamBag::StreamSize() const {
    ULONGLONG size = kHeaderBytes;
    for (const Entry& entry : entries_) {
        size += 2 + 2 * entry.name.size() + 2;
        switch (entry.value.vt) {
            case VT_I4:
                size += 4;
                break;
            case VT_R8:
                size += 8;
                break;
            case VT_BSTR:
                size += 4 + 2ull * SysStringLen(entry.value.bstrVal);
                break;
            default:
                size += 2;
                break;
        }
    }
    return size;
}

HRESULT PropertyStreamBag::WriteTo(IStream* stream) const {
    if (stream == nullptr) {
        return E_POINTER;
    }
    std::vector<WideString> names;
    std::vector<const VARIANT*> values;
    for (const Entry& entry : entries_) {
        names.push_back(entry.name);
        values.push_back(&entry.value);
    }
    const std::vector<BYTE> payload = Payload(names, values);
    if (payload.size() > kMaxPayload) {
        return STG_E_MEDIUMFULL;
    }
    std::vector<BYTE> block(kSignature, kSignature + 4);
    Put(block, kVersion, 2);
    Put(block, 0, 2);
    Put(block, payload.size(), 4);
    Put(block, entries_.size(), 4);
    block.insert(block.end(), payload.begin(), payload.end());
    ULONG written = 0;
    const HRESULT hr = stream->Write(block.data(), static_cast<ULONG>(block.size()), &written);
    if (FAILED(hr)) {
        return hr;
    }
    return written == block.size() ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT PropertyStreamBag::ReadFrom(IStream* stream) {
    Clear();
    if (stream == nullptr) {
        return E_POINTER;
    }
    BYTE header[kHeaderBytes];
    HRESULT hr = ReadExactly(stream, header, 4);
    if (FAILED(hr)) {
        return hr;
    }
    if (std::memcmp(header, kSignature, 4) != 0) {
        return STG_E_INVALIDHEADER;
    }
    hr = ReadExactly(stream, header + 4, kHeaderBytes - 4);
    if (FAILED(hr)) {
        return hr;
    }
    const std::vector<BYTE> head(header + 4, header + kHeaderBytes);
    Reader fields(head);
    const auto version = static_cast<WORD>(fields.Take(2));
    fields.Take(2);
    const auto payloadBytes = static_cast<ULONG>(fields.Take(4));
    const auto count = static_cast<ULONG>(fields.Take(4));
    if (version > kVersion) {
        return STG_E_OLDDLL;
    }
    if (version == 0 || payloadBytes > kMaxPayload) {
        return STG_E_DOCFILECORRUPT;
    }
    std::vector<BYTE> payload(payloadBytes);
    hr = ReadExactly(stream, payload.data(), payloadBytes);
    if (FAILED(hr)) {
        return hr;
    }
    Reader in(payload);
    std::vector<Entry> read;
    for (ULONG i = 0; i < count && !in.failed; ++i) {
        Entry entry{in.Units(static_cast<std::size_t>(in.Take(2))), {}};
        VariantInit(&entry.value);
        const auto vt = static_cast<VARTYPE>(in.Take(2));
        switch (vt) {
            case VT_I2:
                entry.value.iVal = static_cast<SHORT>(in.Take(2));
                break;
            case VT_BOOL:
                entry.value.boolVal = static_cast<VARIANT_BOOL>(in.Take(2));
                break;
            case VT_I4:
                entry.value.lVal = static_cast<LONG>(in.Take(4));
                break;
            case VT_R8: {
                const std::uint64_t bits = in.Take(8);
                std::memcpy(&entry.value.dblVal, &bits, sizeof bits);
                break;
            }
            case VT_BSTR: {
                const WideString text = in.Units(static_cast<std::size_t>(in.Take(4)));
                entry.value.bstrVal =
                    SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
                break;
            }
            default:
                in.failed = true;
                break;
        }
        if (!in.failed) {
            entry.value.vt = vt;
        }
        read.push_back(std::move(entry));
    }
    entries_ = std::move(read);
    if (in.failed || !in.AtEnd()) {
        Clear();
        return STG_E_DOCFILECORRUPT;
    }
    return S_OK;
}
