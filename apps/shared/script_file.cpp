// Opening and reading a script file.
#include "apps/shared/script_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace script_file {

bool Open(const std::string& path, std::ifstream& file, std::string* problem) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        *problem = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        *problem = std::strerror(EISDIR);
        return false;
    }
    if (!S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) {
        *problem = "not a regular file or a pipe";
        return false;
    }
    file.open(path, std::ios::binary);
    if (!file) {
        *problem = std::strerror(errno);
        return false;
    }
    return true;
}

LineRead ReadLine(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            return line.empty() ? LineRead::kEnd : LineRead::kLine;
        }
        if (c == '\n') {
            break;
        }
        if (line.size() == kMaxLineBytes) {
            return LineRead::kTooLong;
        }
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return LineRead::kLine;
}

}  // namespace script_file
