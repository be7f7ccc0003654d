// Text from a script made safe for a terminal: the error lines echo names and strings read
// from the script, which may be any bytes.
#pragma once

#include <string>
#include <string_view>

namespace rc {

// `text` with every control character (C0, DEL, and C1 written in UTF-8) and every byte that
// is not part of valid UTF-8 written as \xNN, one escape per byte; printable UTF-8 (accented
// letters included) is kept as it is.
std::string PrintableText(std::string_view text);

}  // namespace rc
