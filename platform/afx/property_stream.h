// The stream form of a control's persistent properties (IPersistStreamInit): the property
// bag DoPropExchange fills when saving, written to a stream, and read back into a bag for
// loading. The format is ours, little-endian throughout (docs/platform/com.md):
//   "OCPX"  4 bytes, the signature
//   u16     format version (1)
//   u16     0
//   u32     bytes of the properties that follow
//   u32     number of properties
// then each property: u16 name length in UTF-16 units, the name, u16 VARTYPE and the value
// (VT_I2, VT_BOOL: 2 bytes; VT_I4: 4; VT_R8: 8; VT_BSTR: u32 length in units, the units).
#pragma once

#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/stream.h"
#include "platform/unknown_base.h"

// Starts with one reference for its creator. Write keeps a copy of values of the types above
// (DISP_E_BADVARTYPE for others) in the order written, a name written again replacing its
// value; Read converts to the type asked for (VT_EMPTY: as stored), E_INVALIDARG for a name
// not held.
class PropertyStreamBag final : public CountedObject<IPropertyBag> {
  public:
    PropertyStreamBag() = default;
    HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) override;
    HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) override;

    // Bytes WriteTo writes.
    ULONGLONG StreamSize() const;
    // Writes the properties at the stream's position; the stream's error on failure.
    HRESULT WriteTo(IStream* stream) const;
    // Reads one block of properties from the stream's position, replacing what the bag
    // held, and leaves the position after the block. On failure the bag is empty:
    // STG_E_INVALIDHEADER for another signature, STG_E_OLDDLL for a later format version,
    // STG_E_READFAULT when the stream ends inside the block, STG_E_DOCFILECORRUPT for a block
    // whose contents do not add up.
    HRESULT ReadFrom(IStream* stream);

  private:
    struct Entry {
        WideString name;
        VARIANT value;
    };
    ~PropertyStreamBag() override;
    void Clear();
    std::vector<Entry> entries_;
};
