// The log writer: a single write per line keeps lines from different threads apart.
#include "kestro/server/server_log.h"

#include <unistd.h>

namespace kestro::server {

void LogLine(const std::string& line) {
    std::string text = "kestrod: " + line + "\n";
    std::size_t written = 0;
    while (written < text.size()) {
        ssize_t put = write(STDERR_FILENO, text.data() + written, text.size() - written);
        if (put <= 0) {
            return;  // nowhere left to report a failing log
        }
        written += static_cast<std::size_t>(put);
    }
}

}  // namespace kestro::server
