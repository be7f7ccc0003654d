// tolvan-face's container: it makes sure Tolvan.OCX is registered (into a temporary registry of
// its own when the user's registry does not hold it), creates real controls through COM by
// ProgID, places each in a window of its own through in-place activation, feeds it a pump and
// its deliveries through a scripted client object, and reads back the pixels it painted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "apps/tolvan-face/face_case.h"
#include "platform/user.h"

namespace tolvan_face {

// 80 by 80 pixels, 0x00RRGGBB, rows top-down.
struct FacePixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

class FaceHost {
  public:
    FaceHost() = default;
    // Removes the temporary registry when one was made.
    ~FaceHost();
    FaceHost(const FaceHost&) = delete;
    FaceHost& operator=(const FaceHost&) = delete;

    // Makes "TOLVAN.TolvanCtrl.1" creatable: as registered, or by registering `module` (the
    // built Tolvan.OCX) into a temporary registry. False with `error` set when neither works.
    bool EnsureRegistered(const std::string& module, std::string* error);

    // Shows `face` in a new control and returns what it painted (with `face.popup`, the popup
    // that DoPopup opens, 281 by 265, which is then closed with Escape); false with `error` set
    // when the control cannot be created, placed or fed.
    bool Render(const FaceCase& face, FacePixels* pixels, std::string* error);

    // The module's instance handle once a control was created (for its bitmaps).
    HMODULE Module() const;

  private:
    std::string temporaryDir_;
};

// The path of the Tolvan.OCX that comes with this program (in its build tree, or installed in
// the private library folder), or "".
std::string BuiltModulePath();

}  // namespace tolvan_face
