// BSTRs to and from the system's UTF-8 text, through the one text conversion. The same source
// on every system: on Windows it calls oleaut32's BSTR functions.
#include "platform/oleauto.h"
#include "platform/text_conversion.h"

std::string BstrToUtf8(BSTR text) {
    return Utf16ToUtf8(WideStringView(text, SysStringLen(text)));
}

BSTR BstrFromUtf8(std::string_view text) {
    const WideString units = Utf8ToUtf16(text);
    return SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
}
