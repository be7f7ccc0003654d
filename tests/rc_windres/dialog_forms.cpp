// Both template forms read into one description and written back in the extended form. Names
// and ordinals are kept as their encoded 16-bit units.
#include "tests/rc_windres/dialog_forms.h"

#include <cstdint>
#include <cwctype>
#include <string>

namespace rc_windres {

namespace {

struct Item {
    std::uint32_t helpId = 0, exStyle = 0, style = 0;
    std::uint16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;
    std::vector<std::uint16_t> windowClass, title;  // encoded name or ordinal
    std::vector<unsigned char> extra;
};

struct Dialog {
    std::uint32_t helpId = 0, exStyle = 0, style = 0;
    std::uint16_t x = 0, y = 0, cx = 0, cy = 0;
    std::vector<std::uint16_t> menu, windowClass, title;
    bool hasFont = false;
    std::uint16_t pointSize = 0, weight = 0;
    std::uint8_t italic = 0, charset = 1;
    std::vector<std::uint16_t> face;
    std::vector<Item> items;
};

constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT, also part of DS_SHELLFONT

class Reader {
  public:
    explicit Reader(const std::vector<unsigned char>& b) : b_(b) {}
    bool ok() const { return ok_; }
    bool AtEnd() const { return pos_ >= b_.size(); }
    std::uint8_t Byte() {
        if (pos_ >= b_.size()) {
            ok_ = false;
            return 0;
        }
        return b_[pos_++];
    }
    std::uint16_t Word() {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }
    std::uint32_t Dword() {
        const std::uint32_t low = Word();
        return low | (static_cast<std::uint32_t>(Word()) << 16);
    }
    // A 0-terminated string, or 0xFFFF and an ordinal; with its terminator or marker.
    std::vector<std::uint16_t> NameOrOrdinal() {
        std::vector<std::uint16_t> units{Word()};
        if (units[0] == 0xFFFF) {
            units.push_back(Word());
            return units;
        }
        while (ok_ && units.back() != 0)
            units.push_back(Word());
        return units;
    }
    std::vector<std::uint16_t> String() {
        std::vector<std::uint16_t> units{Word()};
        while (ok_ && units.back() != 0)
            units.push_back(Word());
        return units;
    }
    void Align() {
        while (pos_ % 4 != 0 && pos_ < b_.size())
            ++pos_;
    }
    std::vector<unsigned char> Bytes(std::size_t n) {
        if (n > b_.size() - pos_) {
            ok_ = false;
            return {};
        }
        pos_ += n;
        return {b_.begin() + static_cast<std::ptrdiff_t>(pos_ - n),
                b_.begin() + static_cast<std::ptrdiff_t>(pos_)};
    }

  private:
    const std::vector<unsigned char>& b_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

bool ReadClassic(const std::vector<unsigned char>& bytes, Dialog* d) {
    Reader r(bytes);
    d->style = r.Dword();
    d->exStyle = r.Dword();
    const std::uint16_t count = r.Word();
    d->x = r.Word(), d->y = r.Word(), d->cx = r.Word(), d->cy = r.Word();
    d->menu = r.NameOrOrdinal();
    d->windowClass = r.NameOrOrdinal();
    d->title = r.String();
    d->hasFont = (d->style & kSetFont) != 0;
    if (d->hasFont) {
        d->pointSize = r.Word();
        d->face = r.String();
    }
    for (std::uint16_t i = 0; i < count && r.ok(); ++i) {
        r.Align();
        Item item;
        item.style = r.Dword();
        item.exStyle = r.Dword();
        item.x = r.Word(), item.y = r.Word(), item.cx = r.Word(), item.cy = r.Word();
        item.id = static_cast<std::uint32_t>(static_cast<std::int16_t>(r.Word()));
        item.windowClass = r.NameOrOrdinal();
        item.title = r.NameOrOrdinal();
        item.extra = r.Bytes(r.Word());
        d->items.push_back(std::move(item));
    }
    return r.ok();
}

bool ReadExtended(const std::vector<unsigned char>& bytes, Dialog* d) {
    Reader r(bytes);
    if (r.Word() != 1 || r.Word() != 0xFFFF)
        return false;
    d->helpId = r.Dword();
    d->exStyle = r.Dword();
    d->style = r.Dword();
    const std::uint16_t count = r.Word();
    d->x = r.Word(), d->y = r.Word(), d->cx = r.Word(), d->cy = r.Word();
    d->menu = r.NameOrOrdinal();
    d->windowClass = r.NameOrOrdinal();
    d->title = r.String();
    d->hasFont = (d->style & kSetFont) != 0;
    if (d->hasFont) {
        d->pointSize = r.Word();
        d->weight = r.Word();
        d->italic = r.Byte();
        d->charset = r.Byte();
        d->face = r.String();
    }
    for (std::uint16_t i = 0; i < count && r.ok(); ++i) {
        r.Align();
        Item item;
        item.helpId = r.Dword();
        item.exStyle = r.Dword();
        item.style = r.Dword();
        item.x = r.Word(), item.y = r.Word(), item.cx = r.Word(), item.cy = r.Word();
        item.id = r.Dword();
        item.windowClass = r.NameOrOrdinal();
        item.title = r.NameOrOrdinal();
        item.extra = r.Bytes(r.Word());
        d->items.push_back(std::move(item));
    }
    return r.ok();
}

class Writer {
  public:
    void Byte(std::uint8_t v) { out_.push_back(v); }
    void Word(std::uint16_t v) {
        Byte(static_cast<std::uint8_t>(v & 0xFF));
        Byte(static_cast<std::uint8_t>(v >> 8));
    }
    void Dword(std::uint32_t v) {
        Word(static_cast<std::uint16_t>(v & 0xFFFF));
        Word(static_cast<std::uint16_t>(v >> 16));
    }
    void Units(const std::vector<std::uint16_t>& units) {
        for (std::uint16_t u : units)
            Word(u);
    }
    void Align() {
        while (out_.size() % 4 != 0)
            out_.push_back(0);
    }
    std::vector<unsigned char>& Bytes() { return out_; }

  private:
    std::vector<unsigned char> out_;
};

std::vector<unsigned char> WriteExtended(const Dialog& d) {
    Writer w;
    w.Word(1);
    w.Word(0xFFFF);
    w.Dword(d.helpId);
    w.Dword(d.exStyle);
    w.Dword(d.style);
    w.Word(static_cast<std::uint16_t>(d.items.size()));
    for (std::uint16_t v : {d.x, d.y, d.cx, d.cy})
        w.Word(v);
    w.Units(d.menu);
    w.Units(d.windowClass);
    w.Units(d.title);
    if (d.hasFont) {
        w.Word(d.pointSize);
        w.Word(d.weight);
        w.Byte(d.italic);
        w.Byte(d.charset);
        w.Units(d.face);
    }
    for (const Item& item : d.items) {
        w.Align();
        w.Dword(item.helpId);
        w.Dword(item.exStyle);
        w.Dword(item.style);
        for (std::uint16_t v : {item.x, item.y, item.cx, item.cy})
            w.Word(v);
        w.Dword(item.id);
        w.Units(item.windowClass);
        w.Units(item.title);
        w.Word(static_cast<std::uint16_t>(item.extra.size()));
        for (unsigned char c : item.extra)
            w.Byte(c);
    }
    return std::move(w.Bytes());
}

}  // namespace

bool ClassicToExtended(const std::vector<unsigned char>& dialog, std::vector<unsigned char>* out) {
    Dialog d;
    if (!ReadClassic(dialog, &d))
        return false;
    *out = WriteExtended(d);
    return true;
}

bool ClassNamesToAtoms(const std::vector<unsigned char>& dialog, std::vector<unsigned char>* out) {
    Dialog d;
    if (!ReadExtended(dialog, &d))
        return false;
    static const char* const names[] = {"BUTTON",  "EDIT",      "STATIC",
                                        "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    for (Item& item : d.items) {
        if (item.windowClass.empty() || item.windowClass[0] == 0xFFFF)
            continue;
        std::string upper;
        for (std::uint16_t u : item.windowClass) {
            if (u != 0)
                upper += static_cast<char>(u < 0x80 ? std::towupper(u) : '?');
        }
        for (std::uint16_t atom = 0; atom < std::size(names); ++atom) {
            if (upper == names[atom])
                item.windowClass = {0xFFFF, static_cast<std::uint16_t>(0x80 + atom)};
        }
    }
    *out = WriteExtended(d);
    return true;
}

}  // namespace rc_windres
