// Reading a control-host script and feeding its lines to the modal loops its commands open.
#include "apps/control-host/script_runner.h"

#include "platform/user.h"

namespace {

// Reads one line (without its LF and a CR before it) of at most kMaxLineBytes bytes.
enum class LineRead { kLine, kEnd, kTooLong };
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
        if (line.size() == ScriptRunner::kMaxLineBytes) {
            return LineRead::kTooLong;
        }
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return LineRead::kLine;
}

}  // namespace

ScriptRunner::ScriptRunner(ControlHost& host, std::istream& in, std::ostream& out, bool echo)
    : host_(host), in_(in), out_(out), echo_(echo) {}

ScriptRunner::~ScriptRunner() = default;

ScriptRunner::Status ScriptRunner::Run() {
    const auto previous = platform::SetIdleHook([this] { return OnIdle(); });
    while (!ended_ && RunNext(false) == Step::kRan) {
    }
    platform::SetIdleHook(previous);
    return tooLong_ ? Status::kLineTooLong : Status::kEnd;
}

ScriptRunner::Step ScriptRunner::RunNext(bool inModalLoop) {
    std::string line;
    switch (ReadLine(in_, line)) {
        case LineRead::kEnd:
            ended_ = true;
            return Step::kEnd;
        case LineRead::kTooLong:
            ended_ = true;
            tooLong_ = true;
            return Step::kLineTooLong;
        case LineRead::kLine:
            break;
    }
    ++lines_;
    if (echo_) {
        out_ << "> " << line << '\n';
    }
    if (!host_.RunLine(line, inModalLoop)) {
        ++failures_;
    }
    out_.flush();
    return Step::kRan;
}

bool ScriptRunner::OnIdle() {
    if (!ended_ && RunNext(true) == Step::kRan) {
        // One line a turn: the loop takes what the line queued, or sees that its dialog has
        // ended, before the next line runs. A line that left nothing to take wakes it anyway.
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            PostMessageW(nullptr, WM_NULL, 0, 0);
        }
        return true;
    }
    if (!closedDialogs_) {
        closedDialogs_ = true;
        ++failures_;
        out_ << (tooLong_ ? "error: the script stopped while a dialog was open; it was closed\n"
                          : "error: the script ended while a dialog was open; it was closed\n");
        out_.flush();
    }
    // WM_QUIT ends every modal loop in turn (each posts it again for the loop outside it).
    PostQuitMessage(0);
    return true;
}
