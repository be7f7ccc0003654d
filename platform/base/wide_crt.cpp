// _wtoi over 16-bit text, saturating as the Microsoft C runtime does.
#include "platform/wide_crt.h"

#include <cerrno>
#include <climits>

int _wtoi(const WCHAR* text) {
    if (text == nullptr) {
        errno = EINVAL;
        return 0;
    }
    while (*text == u' ' || (*text >= u'\t' && *text <= u'\r')) {
        ++text;
    }
    const bool negative = *text == u'-';
    if (*text == u'-' || *text == u'+') {
        ++text;
    }
    // The magnitude grows only up to the limit of its sign; further digits are read and
    // dropped so that the whole number counts as out of range.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    bool outOfRange = false;
    for (; *text >= u'0' && *text <= u'9'; ++text) {
        magnitude = magnitude * 10 + (*text - u'0');
        if (magnitude > limit) {
            outOfRange = true;
            magnitude = limit;
        }
    }
    if (outOfRange) {
        errno = ERANGE;
        return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}
