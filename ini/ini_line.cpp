// Line pieces and case-insensitive prefixes for the INI reader.
#include "ini/ini_line.h"

namespace ini_line {

int ReadPiece(std::FILE* file, char* line) {
    int count = 0;
    while (count < kLineSize - 1) {
        const int c = getc_unlocked(file);
        if (c == EOF) {
            break;
        }
        line[count++] = static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    line[count] = '\0';
    return count;
}

bool StartsWithNoCase(const char* text, std::string_view prefix) {
    for (char expected : prefix) {
        if (*text == '\0' || Fold(*text) != Fold(expected)) {
            return false;
        }
        ++text;
    }
    return true;
}

}  // namespace ini_line
