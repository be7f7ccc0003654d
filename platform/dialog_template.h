// Reads DIALOGEX templates (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items), as dialog resources
// hold them, and the classic DLGTEMPLATE that Windows' resource compilers write for a DIALOG
// statement, refusing malformed data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace platform {

// A menu, class or title field: absent, an ordinal (0xFFFF n), or a string.
struct NameOrOrdinal {
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    WideString text;  // empty and !isOrdinal: absent
};

struct DialogItemTemplate {
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::uint32_t id = 0;
    NameOrOrdinal windowClass;  // ordinal 0x80 button, 0x81 edit, 0x82 static, 0x83 list box,
                                // 0x84 scroll bar, 0x85 combo box
    NameOrOrdinal title;
    std::vector<unsigned char> creationData;
};

struct DialogTemplate {
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    WideString title;
    bool hasFont = false;  // DS_SETFONT (or DS_SHELLFONT) was set
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t charset = 0;
    WideString face;
    std::vector<DialogItemTemplate> items;
};

// The most items a template may declare; more is refused as absurd.
inline constexpr std::size_t kMostDialogItems = 1024;

// Reads a DLGTEMPLATEEX of `size` bytes. False with a reason in `error` (and `out` untouched)
// for a template that is not the extended form, ends early, holds an unterminated string, or
// declares more items than fit the data or kMostDialogItems.
bool ReadDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate* out,
                        std::string* error);

// Reads a classic DLGTEMPLATE (with DLGITEMTEMPLATE items) of `size` bytes into the same
// description: no help ids, the font's weight 0, not italic, DEFAULT_CHARSET, item ids widened
// with their sign (-1 stays -1). False with a reason in `error` (and `out` untouched) for an
// extended template, data that ends early, an unterminated string, or more items than fit the
// data or kMostDialogItems.
bool ReadClassicDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate* out,
                               std::string* error);

}  // namespace platform
