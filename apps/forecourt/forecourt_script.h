// forecourt's scenarios: one command a line, `#` starts a comment.
//
//   click PUMP          a click in the middle of the pump's face
//   click X Y           a click at X, Y of the (zoomed) frame
//   key NAME            a key press and release (RETURN, ESCAPE, 1 to 9, ...)
//   wait MS             serve events and timers for MS milliseconds
//   screenshot FILE     the whole frame as a PNG
//   strip               prints the strip's lines
//   current             prints current=ID, the pump the client follows
//   faces               prints "face ID: state N" for each pump, the state its face shows
//   kestroctl ARG...    runs kestroctl (beside kestrod in this build tree) against the server
//                       (lift, hang, tick, ...), and waits for it
//
// Each failing command prints "error: ..." and the script goes on; the exit status is then 1.
// A line longer than script_file::kMaxLineBytes ends the script.
//
// A click or key that opens a popup starts the popup's own message loop, which returns only
// when the popup closes: the lines after it are played from that loop whenever it waits,
// their clicks and keys given to the loop as input (so the popup takes them as a cashier's),
// until one closes the popup and the script goes on after the command that opened it. A
// script that ends with a popup open fails, and the popup is closed with ESCAPE.
#pragma once

#include <istream>
#include <ostream>

#include "apps/forecourt/forecourt_window.h"

namespace forecourt {

enum class PlayResult {
    kSucceeded,    // every command succeeded
    kFailed,       // a command failed (its "error: ..." line printed)
    kLineTooLong,  // a line is longer than script_file::kMaxLineBytes: not read further
};

// Plays `script` on `forecourt`, reading it one line at a time; `lines` (may be null) gets
// the number of lines read whole.
PlayResult PlayScript(Forecourt& forecourt, const Options& options, std::istream& script,
                      std::ostream& out, int* lines = nullptr);

}  // namespace forecourt
