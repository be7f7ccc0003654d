// The module's pictures: each bitmap and icon resource with the file that holds it. The files
// are built from the pixel maps of control/res/art/ into TOLVAN_RESOURCE_DIR;
// control/res/tolvan.rc names the same files (a test keeps the two equal).
#pragma once

#include <span>

#include "platform/win_types.h"

namespace tolvan {

struct PictureResource {
    UINT id;
    bool icon;         // an icon group (a .ico file) rather than a bitmap (a .bmp file)
    const char* file;  // the file name, without folder
};

// Every picture, in the resource script's order: the toolbox bitmap, the icon, then the
// bitmaps by identifier.
std::span<const PictureResource> PictureResources();

}  // namespace tolvan
