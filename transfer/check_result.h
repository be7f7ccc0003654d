// CheckResult: the one routine through which Brenkar tests the result code of a Kestro call
// and reports a failure on the console, in the library's own words.
#pragma once

#include <cstdint>

// Returns true when `result` is 0, printing nothing. Otherwise asks ResultString for the
// code's text, narrows it to the low byte of each unit (as CounterString::Narrow does),
// prints "<label> - <text>.\n" to standard output, frees the text and returns false.
// Should ResultString itself fail, <text> is "result code <result>" so that the failure
// is still reported. `label` is the caller's, usually ending with its own full stop
// ("GetPortsCount failed.").
bool CheckResult(const char* label, std::int32_t result);
