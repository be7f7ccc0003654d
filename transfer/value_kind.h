// ValueKind: how the import converts a key's text when it reads it. The reader, CHECK and
// VERIFY judge values by it.
#pragma once

enum class ValueKind {
    kText,    // the value's bytes, one character each
    kInt16,   // the low 16 bits of the 32-bit integer
    kInt32,   // CounterString::ToInt
    kAmount,  // CounterString::ToDouble through FixedAmount: four decimals, no sign
};
