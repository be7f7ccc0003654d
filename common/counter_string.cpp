// CounterString: storage by the 32-element capacity rule, plain widening and narrowing
// between 8-bit and 16-bit units, and the lenient parses Brenkar uses on INI values.
#include "common/counter_string.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Atomic: Brenkar's VERIFY reads its file on a second thread while the controller is read.
std::atomic<std::int32_t> liveCount = 0;

// The unit that At hands out for positions outside the text.
const WCHAR kNoChar = 0;

constexpr int kFormatBufferBytes = 4096;

// A byte becomes a unit by sign extension: 0x80..0xFF turn into 0xFF80..0xFFFF.
WCHAR Widen(char byte) {
    return static_cast<WCHAR>(static_cast<std::int16_t>(static_cast<signed char>(byte)));
}

// Case folding of the C locale's toupper, done on the unit itself: toupper only accepts
// EOF and unsigned-char values, and only a-z change in the "C" locale anyway.
WCHAR FoldCase(WCHAR unit) {
    return (unit >= WCHAR('a') && unit <= WCHAR('z'))
               ? static_cast<WCHAR>(unit - WCHAR('a') + WCHAR('A'))
               : unit;
}

int ClampLength(std::size_t length) {
    return static_cast<int>(std::min<std::size_t>(length, CounterString::kMaxLength));
}

}  // namespace

CounterString::CounterString() {
    ++liveCount;
}

CounterString::CounterString(const char* text) : CounterString() {
    Assign(text);
}

CounterString::CounterString(const WCHAR* text) : CounterString() {
    Assign(text);
}

CounterString::CounterString(const CounterString& other) : CounterString() {
    Assign(other);
}

CounterString::~CounterString() {
    --liveCount;
    Release();
}

void CounterString::Reserve(int n, bool keep) {
    n = std::clamp(n, 0, kMaxLength);
    if (capacity_ >= n + 2) {
        return;
    }
    const int newCapacity = ((n + 1) / 32 + 1) * 32;
    auto* fresh = new WCHAR[newCapacity];
    if (keep && buffer_ != nullptr) {
        std::memcpy(fresh, buffer_, (buffer_[0] + 2) * sizeof(WCHAR));
    } else {
        fresh[0] = 0;
        fresh[1] = 0;
    }
    delete[] buffer_;
    buffer_ = fresh;
    capacity_ = static_cast<std::int16_t>(newCapacity);
}

void CounterString::Release() {
    delete[] buffer_;
    buffer_ = nullptr;
    capacity_ = 0;
    delete[] narrow_;
    narrow_ = nullptr;
    narrowCapacity_ = 0;
}

CounterString& CounterString::Assign(const CounterString& other) {
    if (&other == this) {
        return *this;
    }
    if (other.buffer_ == nullptr) {
        Release();
        return *this;
    }
    const int length = other.buffer_[0];
    Reserve(length, false);
    std::memcpy(buffer_, other.buffer_, (length + 2) * sizeof(WCHAR));
    return *this;
}

CounterString& CounterString::Assign(const char* text) {
    if (text == nullptr) {
        Release();
        return *this;
    }
    return Assign(std::string_view(text));
}

CounterString& CounterString::Assign(std::string_view text) {
    const int length = ClampLength(text.size());
    Reserve(length, false);
    for (int i = 0; i < length; ++i) {
        buffer_[i + 1] = Widen(text[i]);
    }
    buffer_[0] = static_cast<WCHAR>(length);
    buffer_[length + 1] = 0;
    return *this;
}

CounterString& CounterString::Assign(const WCHAR* text) {
    if (text == nullptr) {
        Release();
        return *this;
    }
    return Assign(text, ClampLength(std::char_traits<WCHAR>::length(text)));
}

CounterString& CounterString::Assign(const WCHAR* text, int count) {
    if (text == nullptr) {
        Release();
        return *this;
    }
    count = std::clamp(count, 0, kMaxLength);
    Reserve(count, false);
    // The source may lie inside this buffer (a part of our own text): the capacity then
    // already suffices, nothing was freed, and memmove copes with the overlap.
    std::memmove(buffer_ + 1, text, count * sizeof(WCHAR));
    buffer_[0] = static_cast<WCHAR>(count);
    buffer_[count + 1] = 0;
    return *this;
}

CounterString& CounterString::Append(const char* text) {
    if (text == nullptr || *text == '\0') {
        return *this;
    }
    const int oldLength = Length();
    const int newLength = ClampLength(oldLength + std::strlen(text));
    Reserve(newLength, true);
    for (int i = oldLength; i < newLength; ++i) {
        buffer_[i + 1] = Widen(text[i - oldLength]);
    }
    buffer_[0] = static_cast<WCHAR>(newLength);
    buffer_[newLength + 1] = 0;
    return *this;
}

CounterString& CounterString::Mid(int start, int count) {
    if (buffer_ == nullptr) {
        return *this;
    }
    // Positions arrive as 16-bit values; the arithmetic below runs in int and cannot overflow.
    int first = static_cast<std::int16_t>(start);
    int kept = static_cast<std::int16_t>(count);
    const int length = buffer_[0];
    if (first < 1) {
        first = 1;
    }
    if (length < first + kept - 1) {
        kept = length - first + 1;
    }
    if (kept < 0) {
        kept = 0;
    }
    if (kept > 0) {
        std::memmove(buffer_ + 1, buffer_ + first, kept * sizeof(WCHAR));
    }
    buffer_[kept + 1] = 0;
    buffer_[0] = static_cast<WCHAR>(kept);
    return *this;
}

CounterString& CounterString::Format(const char* format, ...) {
    char text[kFormatBufferBytes];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // A conversion error leaves the buffer unspecified: the result is then the empty text.
    return Assign(written < 0 ? "" : text);
}

int CounterString::Length() const {
    return buffer_ == nullptr ? 0 : buffer_[0];
}

const WCHAR* CounterString::Chars() const {
    return buffer_ == nullptr ? nullptr : buffer_ + 1;
}

const char* CounterString::Narrow() {
    if (buffer_ == nullptr) {
        return "<null>";
    }
    const int length = buffer_[0];
    if (length == 0) {
        return "";
    }
    if (narrowCapacity_ < length + 1) {
        // Drop the old copy first so that a failed allocation leaves no dangling pointer.
        delete[] narrow_;
        narrow_ = nullptr;
        narrowCapacity_ = 0;
        narrow_ = new char[length + 1];
        narrowCapacity_ = static_cast<std::int16_t>(length + 1);
    }
    for (int i = 0; i < length; ++i) {
        narrow_[i] = static_cast<char>(buffer_[i + 1] & 0xFF);
    }
    narrow_[length] = '\0';
    return narrow_;
}

const WCHAR* CounterString::At(int i) const {
    if (i < 1 || i > Length()) {
        return &kNoChar;
    }
    return buffer_ + i;
}

int CounterString::CompareNoCase(const CounterString& other) const {
    const int length = Length();
    const int otherLength = other.Length();
    for (int i = 1; i <= length && i <= otherLength; ++i) {
        const WCHAR a = FoldCase(buffer_[i]);
        const WCHAR b = FoldCase(other.buffer_[i]);
        if (a < b) {
            return -1;
        }
        if (a > b) {
            return 1;
        }
    }
    if (otherLength > length) {
        return -1;
    }
    if (length > otherLength) {
        return 1;
    }
    return 0;
}

std::int32_t CounterString::ToInt() const {
    bool negative = false;
    std::uint32_t value = 0;  // unsigned, so that the 32-bit wrap is defined
    const int length = Length();
    for (int i = 1; i <= length; ++i) {
        const WCHAR unit = buffer_[i];
        if (unit == WCHAR(' ') || unit == WCHAR(',')) {
            continue;
        }
        if (unit == WCHAR('+') || unit == WCHAR('-')) {
            negative = unit == WCHAR('-');
            continue;
        }
        if (unit < WCHAR('0') || unit > WCHAR('9')) {
            break;
        }
        value = value * 10u + static_cast<std::uint32_t>(unit - WCHAR('0'));
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

double CounterString::ToDouble() const {
    double value = 0;
    double divisor = 10;
    bool fraction = false;
    const int length = Length();
    for (int i = 1; i <= length; ++i) {
        const WCHAR unit = buffer_[i];
        if (unit == WCHAR(' ') || unit == WCHAR(',')) {
            continue;
        }
        if (unit == WCHAR('.')) {
            if (fraction) {
                break;
            }
            fraction = true;
            continue;
        }
        if (unit < WCHAR('0') || unit > WCHAR('9')) {
            break;
        }
        const int digit = unit - WCHAR('0');
        if (fraction) {
            value += digit / divisor;
            divisor *= 10;
        } else {
            value = value * 10 + digit;
        }
    }
    return value;
}

BSTR CounterString::ToBstr() const {
    if (buffer_ == nullptr) {
        return SysAllocStringLen(OLESTR(""), 0);
    }
    return SysAllocStringLen(Chars(), static_cast<UINT>(Length()));
}

std::int32_t CounterString::LiveCount() {
    return liveCount;
}
