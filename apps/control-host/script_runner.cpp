// Reading a control-host script and feeding its lines to the modal loops its commands open.
#include "apps/control-host/script_runner.h"

#include "platform/user.h"

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
    switch (script_file::ReadLine(in_, line)) {
        case script_file::LineRead::kEnd:
            ended_ = true;
            return Step::kEnd;
        case script_file::LineRead::kTooLong:
            ended_ = true;
            tooLong_ = true;
            return Step::kLineTooLong;
        case script_file::LineRead::kLine:
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
