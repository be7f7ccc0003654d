// The log writer: a single write per line keeps lines from different threads apart.
#include "kestro/server/server_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace kestro::server {

std::string FormatLogLine(const std::string& line, LogPriority priority, bool journal) {
    std::string text;
    if (journal) {
        text = "<" + std::to_string(static_cast<int>(priority)) + ">";
    }
    return text + "kestrod: " + line + "\n";
}

bool IsJournalStream(const char* journalStream, int fd) {
    if (journalStream == nullptr)
        return false;
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return false;
    // A stream handed on to a program the service started is no longer the journal's.
    return std::string_view(journalStream) ==
           std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

void LogLine(const std::string& line, LogPriority priority) {
    static const bool journal = IsJournalStream(std::getenv("JOURNAL_STREAM"), STDERR_FILENO);
    const std::string text = FormatLogLine(line, priority, journal);
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
