// The .res record layout: DWORD sizes, name-or-ordinal fields, DWORD alignment.
#include "tests/rc_windres/res_file.h"

#include <cstdio>

#include "platform/text_conversion.h"

namespace rc_windres {

namespace {

class Reader {
  public:
    explicit Reader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    bool Has(std::size_t n) const { return n <= bytes_.size() - pos_; }
    std::size_t Pos() const { return pos_; }
    void Seek(std::size_t at) { pos_ = at; }
    std::uint16_t Word() {
        const auto v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t Dword() {
        const std::uint32_t low = Word();
        return low | (static_cast<std::uint32_t>(Word()) << 16);
    }
    // A name or ordinal within [pos, end): 0xFFFF and a number, or a 0-terminated string.
    bool Id(std::size_t end, ResourceId* id) {
        if (end - pos_ < 2)
            return false;
        if (bytes_[pos_] == 0xFF && bytes_[pos_ + 1] == 0xFF) {
            if (end - pos_ < 4)
                return false;
            Word();
            id->id = Word();
            return true;
        }
        while (true) {
            if (end - pos_ < 2)
                return false;
            const char16_t c = Word();
            if (c == 0)
                return true;
            id->text += c;
        }
    }

  private:
    const std::vector<unsigned char>& bytes_;
    std::size_t pos_ = 0;
};

std::string IdText(const ResourceId& id) {
    return id.text.empty() ? std::to_string(id.id) : "\"" + Utf16ToUtf8(id.text) + "\"";
}

std::string TypeText(const ResourceId& type) {
    static const char* const names[] = {
        nullptr,  "CURSOR",       "BITMAP",       "ICON",  "MENU",
        "DIALOG", "STRING",       "FONTDIR",      "FONT",  "ACCELERATOR",
        "RCDATA", "MESSAGETABLE", "GROUP_CURSOR", nullptr, "GROUP_ICON",
        nullptr,  "VERSION",      "DLGINCLUDE",   nullptr, "PLUGPLAY",
        "VXD",    "ANICURSOR",    "ANIICON",      "HTML",  "MANIFEST"};
    if (!type.text.empty())
        return Utf16ToUtf8(type.text);
    if (type.id < std::size(names) && names[type.id] != nullptr)
        return names[type.id];
    return std::to_string(type.id);
}

}  // namespace

std::string KeyText(const ResourceKey& key) {
    char language[8];
    std::snprintf(language, sizeof language, "0x%04X", key.language);
    return TypeText(key.type) + " " + IdText(key.name) + " " + language;
}

bool ReadResFile(const std::vector<unsigned char>& bytes, std::vector<ResourceEntry>* entries,
                 std::string* error) {
    Reader r(bytes);
    bool first = true;
    while (r.Has(1)) {
        const std::size_t start = r.Pos();
        const std::string where = "record at offset " + std::to_string(start) + ": ";
        if (!r.Has(8)) {
            *error = where + "truncated sizes";
            return false;
        }
        const std::uint32_t dataSize = r.Dword();
        const std::uint32_t headerSize = r.Dword();
        if (headerSize < 8 + 4 + 4 + 16 || headerSize > bytes.size() - start ||
            dataSize > bytes.size() - start - headerSize) {
            *error = where + "header or data beyond the file";
            return false;
        }
        const std::size_t headerEnd = start + headerSize;
        ResourceEntry entry;
        if (!r.Id(headerEnd, &entry.key.type) || !r.Id(headerEnd, &entry.key.name)) {
            *error = where + "malformed type or name";
            return false;
        }
        r.Seek((r.Pos() + 3) & ~std::size_t{3});
        if (headerEnd < r.Pos() || headerEnd - r.Pos() != 16) {
            *error = where + "header size does not match its fields";
            return false;
        }
        r.Dword();  // data version
        r.Word();   // memory flags
        entry.key.language = r.Word();
        r.Dword();  // version
        r.Dword();  // characteristics
        entry.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(headerEnd),
                          bytes.begin() + static_cast<std::ptrdiff_t>(headerEnd + dataSize));
        const std::size_t next = (headerEnd + dataSize + 3) & ~std::size_t{3};
        r.Seek(std::min(next, bytes.size()));
        // The file opens with an empty record that marks it as 32-bit.
        const bool marker = first && dataSize == 0 && entry.key.type == ResourceId{} &&
                            entry.key.name == ResourceId{};
        if (!marker)
            entries->push_back(std::move(entry));
        first = false;
    }
    return true;
}

}  // namespace rc_windres
