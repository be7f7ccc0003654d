// Runs a control-host script: reads it line by line and runs each line on a ControlHost. A
// command that holds the thread in a modal loop (the popup a click on the face or `call
// DoPopup` opens, or any other dialog) does not stop the script: the thread's idle hook runs
// the script's following lines, one each time the loop waits for input, so that `key`,
// `click`, `dblclick`, `paint`, `wait`, `call` ... act on the dialog through the real message
// queue until it closes, and the script then goes on after the command that opened it.
#pragma once

#include <istream>
#include <ostream>

#include "apps/control-host/control_host.h"
#include "apps/shared/script_file.h"

class ScriptRunner {
  public:
    // A line longer than this ends the script: a script that is a device or a file without
    // line ends would otherwise be read into memory without end.
    static constexpr std::size_t kMaxLineBytes = script_file::kMaxLineBytes;

    // With `echo`, each line is printed as "> LINE" before its output.
    ScriptRunner(ControlHost& host, std::istream& in, std::ostream& out, bool echo);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    enum class Status { kEnd, kLineTooLong };
    // Runs the script to its end. When it ends while a dialog is still open, every open modal
    // loop is ended as WM_QUIT ends one ("error: the script ended while a dialog was open"),
    // so that the run always stops.
    Status Run();

    // The commands that failed (and a script that left a dialog open), and the lines read.
    int failures() const { return failures_; }
    int lines() const { return lines_; }

  private:
    enum class Step { kRan, kEnd, kLineTooLong };
    Step RunNext(bool inModalLoop);
    bool OnIdle();

    ControlHost& host_;
    std::istream& in_;
    std::ostream& out_;
    bool echo_;
    int failures_ = 0;
    int lines_ = 0;
    bool ended_ = false;
    bool tooLong_ = false;
    bool closedDialogs_ = false;
};
