// The script files of control-host and forecourt: which paths may be read as a script, and
// its lines read one at a time with a bound on their length, so that a device or a file
// without line ends is never read into memory without end.
#pragma once

#include <cstddef>
#include <fstream>
#include <istream>
#include <string>

namespace script_file {

// A line longer than this ends the script.
inline constexpr std::size_t kMaxLineBytes = 1024 * 1024;

// Opens `path` for reading when it is a regular file or a pipe (a FIFO, /dev/stdin of a
// shell's pipe). False with `problem` set otherwise: the system's text ("No such file or
// directory", "Is a directory") or "not a regular file or a pipe" for a device or a socket.
bool Open(const std::string& path, std::ifstream& file, std::string* problem);

enum class LineRead { kLine, kEnd, kTooLong };
// Reads one line into `line`, without its LF and a CR before it; a last line without LF
// counts. kEnd at the end of the input, kTooLong (the line's start consumed, `line` holding
// kMaxLineBytes bytes of it) when no LF comes within kMaxLineBytes bytes.
LineRead ReadLine(std::istream& in, std::string& line);

}  // namespace script_file
