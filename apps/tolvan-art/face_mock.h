// Mock faces and a mock popup composed from the picture set at the positions the control
// draws them, with stand-in texts in the pixel font, so the pictures can be judged together
// before the real face is painted by the control.
#pragma once

#include <vector>

#include "apps/tolvan-art/art_set.h"

namespace art {

// One 80 by 80 face per case (pump states, reservation kinds, stack counts), labelled.
std::vector<SheetPicture> MockFaces(const ArtSet& set);

// The popup's frame with its buttons, headers and row icons in place (281 by 265).
SheetPicture MockPopup(const ArtSet& set);

}  // namespace art
