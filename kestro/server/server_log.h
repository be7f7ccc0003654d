// kestrod's log: one line per event on standard error, each written whole even when several
// connections log at once. Under systemd, when standard error is the journal's stream, each
// line starts with its syslog priority ("<3>", "<6>"), which the journal reads and strips.
#pragma once

#include <string>

namespace kestro::server {

// The syslog priorities kestrod's lines carry (sd-daemon's prefixes).
enum class LogPriority { kError = 3, kWarning = 4, kInfo = 6 };

// Writes "kestrod: " and `line` and a line feed to standard error in one write, with the
// priority prefix when standard error is the journal.
void LogLine(const std::string& line, LogPriority priority = LogPriority::kInfo);

// The text LogLine writes: "kestrod: LINE\n", after "<N>" when `journal` is true.
std::string FormatLogLine(const std::string& line, LogPriority priority, bool journal);

// Whether `fd` is the stream that `journalStream` (the value of $JOURNAL_STREAM, "DEV:INODE",
// or null) names, as systemd sets it for a service whose output goes to the journal.
bool IsJournalStream(const char* journalStream, int fd);

}  // namespace kestro::server
