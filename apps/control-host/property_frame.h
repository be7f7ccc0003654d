// control-host's property frame: one property page shown as a dialog of its own. The frame is
// a top-level window owned by the host window, its title band showing the page's caption, with
// the page's dialog (IPropertyPageWindow::Activate) as its child. It runs modally: the host
// window is disabled and the thread's messages are dispatched (so the script's following
// lines reach it through the idle hook) until Enter (the page is applied), Escape or
// WM_CLOSE closes it.
#pragma once

#include <ostream>
#include <string>

#include "platform/com.h"
#include "platform/user.h"

namespace property_frame {

// The height of the frame's title band, in pixels.
inline constexpr int kTitleHeight = 18;

enum class Outcome { kApplied, kCancelled, kQuit };

// Shows `page` (its objects already set) captioned `caption` over `owner` and runs the frame
// until it closes. Prints "frame \"CAPTION\" WxH" (the frame's own window text and size)
// when it opens and "frame closed (applied|cancelled)" when it closes. E_NOINTERFACE when
// the page has no window side, the page's own failure when its dialog cannot be made.
HRESULT Run(IPropertyPage* page, const std::u16string& caption, HWND owner, std::ostream& out,
            Outcome* outcome);

}  // namespace property_frame
