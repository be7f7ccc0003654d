// The binary layouts of the resources the compiler writes.
#include "tools/rc/rc_binary.h"

#include <stdexcept>

namespace rc {

void BinaryWriter::Word(std::uint16_t v) {
    bytes_.push_back(static_cast<unsigned char>(v & 0xFF));
    bytes_.push_back(static_cast<unsigned char>(v >> 8));
}

void BinaryWriter::Dword(std::uint32_t v) {
    Word(static_cast<std::uint16_t>(v & 0xFFFF));
    Word(static_cast<std::uint16_t>(v >> 16));
}

void BinaryWriter::String(const std::u16string& s) {
    for (char16_t c : s)
        Word(c);
    Word(0);
}

void BinaryWriter::NameOrOrdinal(std::uint16_t id, const std::u16string& text, bool isOrdinal) {
    if (isOrdinal) {
        Word(0xFFFF);
        Word(id);
    } else {
        String(text);
    }
}

void BinaryWriter::AlignDword() {
    while (bytes_.size() % 4 != 0)
        bytes_.push_back(0);
}

void BinaryWriter::PatchWord(std::size_t at, std::uint16_t v) {
    bytes_[at] = static_cast<unsigned char>(v & 0xFF);
    bytes_[at + 1] = static_cast<unsigned char>(v >> 8);
}

std::vector<unsigned char> DialogTemplateEx(const DialogDefinition& d) {
    if (d.controls.size() > 0xFFFF)
        throw std::length_error("a dialog holds at most 65535 controls");
    BinaryWriter w;
    w.Word(1);       // dlgVer
    w.Word(0xFFFF);  // signature of the extended form
    w.Dword(d.helpId);
    w.Dword(d.exStyle);
    w.Dword(d.style);
    w.Word(static_cast<std::uint16_t>(d.controls.size()));
    for (std::int16_t v : {d.x, d.y, d.cx, d.cy})
        w.Word(static_cast<std::uint16_t>(v));
    w.NameOrOrdinal(0, d.menu, false);
    w.NameOrOrdinal(0, d.windowClass, false);
    w.String(d.caption);
    if (d.hasFont) {
        w.Word(d.pointSize);
        w.Word(d.weight);
        w.Byte(d.italic);
        w.Byte(d.charset);
        w.String(d.face);
    }
    for (const DialogControl& c : d.controls) {
        w.AlignDword();
        w.Dword(c.helpId);
        w.Dword(c.exStyle);
        w.Dword(c.style);
        for (std::int16_t v : {c.x, c.y, c.cx, c.cy})
            w.Word(static_cast<std::uint16_t>(v));
        w.Dword(c.id);
        w.NameOrOrdinal(c.classAtom, c.className, c.classAtom != 0);
        w.NameOrOrdinal(c.titleOrdinal, c.title, c.titleIsOrdinal);
        w.Word(0);  // no creation data
    }
    return std::move(w.Bytes());
}

std::vector<unsigned char> StringBlock(const std::u16string (&strings)[16]) {
    BinaryWriter w;
    for (const std::u16string& s : strings) {
        if (s.size() > 0xFFFF)
            throw std::length_error("a string is longer than 65535 UTF-16 units");
        w.Word(static_cast<std::uint16_t>(s.size()));
        for (char16_t c : s)
            w.Word(c);
    }
    return std::move(w.Bytes());
}

namespace {

void WriteVersionNode(BinaryWriter& w, const VersionNode& node) {
    w.AlignDword();
    const std::size_t start = w.Size();
    w.Word(0);  // wLength, patched below
    w.Word(node.valueLength);
    w.Word(node.textValue ? 1 : 0);
    w.String(node.key);
    w.AlignDword();
    w.Append(node.value);
    for (const VersionNode& child : node.children)
        WriteVersionNode(w, child);
    if (w.Size() - start > 0xFFFF) {
        throw std::length_error("version information \"" + Utf16ToUtf8(node.key) +
                                "\" is longer than 65535 bytes");
    }
    w.PatchWord(start, static_cast<std::uint16_t>(w.Size() - start));
}

}  // namespace

std::vector<unsigned char> VersionResource(const VersionNode& root) {
    BinaryWriter w;
    WriteVersionNode(w, root);
    return std::move(w.Bytes());
}

}  // namespace rc
