// Writers of the Windows binary resource forms: little-endian words, UTF-16 strings, DWORD
// alignment, and the DIALOGEX, string block and VS_VERSIONINFO layouts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text_conversion.h"

namespace rc {

class BinaryWriter {
  public:
    void Word(std::uint16_t v);
    void Dword(std::uint32_t v);
    void Byte(std::uint8_t v) { bytes_.push_back(v); }
    // A UTF-16 string and its terminating 0.
    void String(const std::u16string& s);
    // A name or ordinal: 0xFFFF and the number when `text` is empty and id set, else the
    // string (an empty string is a single 0).
    void NameOrOrdinal(std::uint16_t id, const std::u16string& text, bool isOrdinal);
    void AlignDword();
    void PatchWord(std::size_t at, std::uint16_t v);
    std::size_t Size() const { return bytes_.size(); }
    void Append(const std::vector<unsigned char>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    std::vector<unsigned char>& Bytes() { return bytes_; }

  private:
    std::vector<unsigned char> bytes_;
};

struct DialogControl {
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;
    std::uint16_t classAtom = 0;  // 0x80 button .. 0x85 combo box; 0 when className is used
    std::u16string className;
    bool titleIsOrdinal = false;
    std::uint16_t titleOrdinal = 0;
    std::u16string title;
};

struct DialogDefinition {
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::u16string menu;
    std::u16string windowClass;
    std::u16string caption;
    bool hasFont = false;
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t charset = 1;
    std::u16string face;
    std::vector<DialogControl> controls;
};

// The binary forms count and measure in 16-bit words: a writer throws std::length_error when
// what it is given does not fit them, rather than write a wrapped count or length.

// The DLGTEMPLATEEX form of a dialog (DIALOG statements are written in it too).
std::vector<unsigned char> DialogTemplateEx(const DialogDefinition& dialog);

// One block of 16 strings: each a length word and its units; absent strings are length 0.
std::vector<unsigned char> StringBlock(const std::u16string (&strings)[16]);

// A node of VS_VERSIONINFO: a key, a value (binary, or text when `textValue`), children.
struct VersionNode {
    std::u16string key;
    bool textValue = false;
    std::vector<unsigned char> value;  // binary value, or the UTF-16 text with its 0
    std::uint16_t valueLength = 0;     // bytes for binary, units (with the 0) for text
    std::vector<VersionNode> children;
};
std::vector<unsigned char> VersionResource(const VersionNode& root);

}  // namespace rc
