// The checks the bitmap and dialog-template fuzz targets run on any bytes: a reader either
// refuses them with a reason or returns a result whose sizes agree with what it declares.
// The unit tests replay the seeds and kept crash inputs through the same checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/bmp_reader.h"
#include "platform/dialog_template.h"

namespace gdi_fuzz {

// "" when the readers behaved, else what went wrong.
inline std::string CheckBitmapBytes(const std::uint8_t* data, std::size_t size) {
    for (bool file : {false, true}) {
        platform::DibImage image;
        std::string error;
        const bool read = file ? platform::ReadBmpFile(data, size, &image, &error)
                               : platform::ReadPackedDib(data, size, &image, &error);
        if (!read) {
            if (error.empty())
                return "refused without a reason";
            continue;
        }
        if (image.width <= 0 || image.height <= 0 || image.width > platform::kLargestDibSide ||
            image.height > platform::kLargestDibSide) {
            return "accepted dimensions out of range";
        }
        if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
            return "pixel count differs from the dimensions";
        }
        if (image.bitsPerPixel <= 8 && image.palette.size() > (1u << image.bitsPerPixel)) {
            return "palette larger than the bit count allows";
        }
    }
    return "";
}

inline std::string CheckDialogBytes(const std::uint8_t* data, std::size_t size) {
    platform::DialogTemplate dialog;
    std::string error;
    if (!platform::ReadDialogTemplate(data, size, &dialog, &error)) {
        return error.empty() ? "refused without a reason" : "";
    }
    if (dialog.items.size() > platform::kMostDialogItems)
        return "too many items accepted";
    std::size_t textBytes = dialog.title.size() * 2 + dialog.face.size() * 2;
    for (const auto& item : dialog.items) {
        textBytes += item.title.text.size() * 2 + item.windowClass.text.size() * 2 +
                     item.creationData.size();
    }
    if (textBytes > size)
        return "read more text than the template holds";
    return "";
}

}  // namespace gdi_fuzz
