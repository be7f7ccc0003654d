// CheckResult: a failed Kestro call becomes one console line with the library's text.
#include "transfer/check_result.h"

#include <cstdio>

#include "client/kestro.h"
#include "common/counter_string.h"

bool CheckResult(const char* label, std::int32_t result) {
    if (result == 0) {
        return true;
    }
    BSTR text = nullptr;
    CounterString message;
    if (ResultString(result, &text) == 0 && text != nullptr) {
        message.Assign(text, static_cast<int>(SysStringLen(text)));
    } else {
        message.Format("result code %d", result);
    }
    SysFreeString(text);
    std::printf("%s - %s.\n", label, message.Narrow());
    return false;
}
