// CounterString: Brenkar's text type. 16-bit characters behind a 16-bit length word,
// positions counted from 1, and an 8-bit copy made on demand for the C runtime's output
// and file calls. Single-threaded; no locking.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/oleauto.h"

// Buffers come from the standard `new`: when memory is exhausted std::bad_alloc leaves the
// operation that needed the room.
class CounterString {
  public:
    // Largest number of characters a string can hold: capacity and length are signed 16-bit,
    // and the capacity for one more character (32,768 elements) no longer fits.
    static constexpr int kMaxLength = 32734;

    CounterString();                            // no-buffer state
    explicit CounterString(const char* text);   // null text: no-buffer state
    explicit CounterString(const WCHAR* text);  // null text: no-buffer state
    CounterString(const CounterString& other);
    CounterString& operator=(const CounterString& other) { return Assign(other); }
    ~CounterString();

    // Ensures room for `n` characters: when the capacity is below n + 2 a buffer of
    // ((n + 1) / 32 + 1) * 32 elements replaces the old one, keeping the text when `keep` is
    // true and a buffer existed, otherwise holding the empty text. Never shrinks.
    // A request above kMaxLength is served as kMaxLength: every operation that would make
    // a longer text keeps its first kMaxLength characters instead of overrunning memory.
    void Reserve(int n, bool keep);

    // Frees the wide buffer and the narrow copy: the no-buffer state.
    void Release();

    // Deep copy of `other` (its no-buffer state included). Self-assignment changes nothing.
    CounterString& Assign(const CounterString& other);
    // 8-bit text, each byte widened by sign extension. Null: Release.
    CounterString& Assign(const char* text);
    // The same for the bytes of `text` (NULs included), at most kMaxLength of them.
    CounterString& Assign(std::string_view text);
    // 0-terminated wide text. Null: Release.
    CounterString& Assign(const WCHAR* text);
    // `count` wide units (zeros included); a negative count gives the empty text. The units
    // may be part of this string's own text. Null: Release.
    CounterString& Assign(const WCHAR* text, int count);

    // Appends 8-bit text (sign-extended). Null or empty text: no change.
    CounterString& Append(const char* text);

    // Keeps `count` characters from position `start` (both taken as signed 16-bit values and
    // clamped to the text), in place. No buffer: no change.
    CounterString& Mid(int start, int count);

    // printf-style formatting into a 4,096-byte buffer, then Assign. Output longer than
    // 4,095 bytes is cut at 4,095 bytes (bounded formatting: never writes past the buffer);
    // a conversion error gives the empty text.
    CounterString& Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Number of characters; 0 without buffer.
    int Length() const;
    // Pointer to the first character, 0-terminated; null without buffer.
    const WCHAR* Chars() const;
    // The 8-bit copy (low byte of each unit), rebuilt on every call: "<null>" without
    // buffer, "" for the empty text. Valid until the next Narrow call on this object or
    // its destruction.
    const char* Narrow();
    // Pointer to character `i` (1-based); a pointer to a shared 0 unit when out of range.
    const WCHAR* At(int i) const;

    // -1, 0 or 1; only a-z are folded (the C locale's toupper). A shorter prefix is less;
    // no buffer compares like the empty text.
    int CompareNoCase(const CounterString& other) const;
    bool EqualsNoCase(const CounterString& other) const { return CompareNoCase(other) == 0; }
    bool DiffersNoCase(const CounterString& other) const { return CompareNoCase(other) != 0; }

    // Lenient integer parse: blanks and commas skipped, '+'/'-' anywhere set the sign,
    // digits accumulate (32-bit, wrapping), anything else ends the parse.
    std::int32_t ToInt() const;
    // Lenient decimal parse without sign handling: blanks and commas skipped, the first '.'
    // starts the fraction, a second '.' or any other character ends the parse.
    double ToDouble() const;

    // A new BSTR with the characters (an empty one without buffer); the caller frees it with
    // SysFreeString. Null when memory is exhausted.
    BSTR ToBstr() const;

    // Number of CounterString objects alive in the process: every constructor (the copy
    // constructor included) adds one, the destructor takes one away.
    static std::int32_t LiveCount();

    // Elements allocated for the wide buffer (0 without one), for tests of the capacity rule.
    int Capacity() const { return capacity_; }

  private:
    std::int16_t capacity_ = 0;  // elements of buffer_: length word, characters, terminator
    WCHAR* buffer_ = nullptr;    // [0] length, [1..length] characters, [length+1] 0
    std::int16_t narrowCapacity_ = 0;
    char* narrow_ = nullptr;
};
