// DLGTEMPLATEEX decoding with every read bounded by the data.
#include "platform/dialog_template.h"

namespace platform {

namespace {

constexpr std::uint32_t kDsSetFont = 0x40;

class Reader {
  public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool Word(std::uint16_t* v) {
        if (size_ - pos_ < 2)
            return false;
        *v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }
    bool Short(std::int16_t* v) {
        std::uint16_t w;
        if (!Word(&w))
            return false;
        *v = static_cast<std::int16_t>(w);
        return true;
    }
    bool Dword(std::uint32_t* v) {
        std::uint16_t lo, hi;
        if (!Word(&lo) || !Word(&hi))
            return false;
        *v = lo | (static_cast<std::uint32_t>(hi) << 16);
        return true;
    }
    bool Byte(std::uint8_t* v) {
        if (pos_ >= size_)
            return false;
        *v = data_[pos_++];
        return true;
    }
    bool String(WideString* s) {
        s->clear();
        std::uint16_t c;
        while (true) {
            if (!Word(&c))
                return false;
            if (c == 0)
                return true;
            *s += static_cast<WCHAR>(c);
        }
    }
    bool Field(NameOrOrdinal* f) {
        std::uint16_t first;
        if (!Word(&first))
            return false;
        if (first == 0xFFFF) {
            f->isOrdinal = true;
            return Word(&f->ordinal);
        }
        if (first == 0)
            return true;
        f->text = static_cast<WCHAR>(first);
        WideString rest;
        if (!String(&rest))
            return false;
        f->text += rest;
        return true;
    }
    bool Bytes(std::size_t n, std::vector<unsigned char>* out) {
        if (n > size_ - pos_)
            return false;
        out->assign(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return true;
    }
    bool AlignDword() {
        const std::size_t aligned = (pos_ + 3) & ~static_cast<std::size_t>(3);
        if (aligned > size_)
            return false;
        pos_ = aligned;
        return true;
    }
    std::size_t Remaining() const { return size_ - pos_; }

  private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

bool Fail(std::string* error, const char* reason) {
    if (error != nullptr)
        *error = reason;
    return false;
}

// The smallest item: three DWORDs, four shorts, the id, two empty fields and the extra count.
constexpr std::size_t kSmallestItem = 12 + 8 + 4 + 2 + 2 + 2;
// The same in the classic form: two DWORDs, four shorts, a WORD id, two fields, the count.
constexpr std::size_t kSmallestClassicItem = 8 + 8 + 2 + 2 + 2 + 2;

// The position and size that a header and an item both carry, in dialog units.
template <typename Placed>
bool ReadBox(Reader& r, Placed* p) {
    return r.Short(&p->x) && r.Short(&p->y) && r.Short(&p->cx) && r.Short(&p->cy);
}

// The menu, class and title that follow either form's header.
bool ReadNames(Reader& r, DialogTemplate* d, std::string* error) {
    if (!r.Field(&d->menu) || !r.Field(&d->windowClass) || !r.String(&d->title))
        return Fail(error, "unterminated menu, class or title");
    return true;
}

// COUNT items, each DWORD aligned: its fixed part as READ_FIXED reads it (the forms differ
// there), then the class, the title and the creation data, as both forms have them.
template <typename ReadFixed>
bool ReadItems(Reader& r, std::uint16_t count, std::size_t smallestItem, ReadFixed readFixed,
               DialogTemplate* d, std::string* error) {
    if (count > r.Remaining() / smallestItem)
        return Fail(error, "items beyond the data");
    for (std::uint16_t i = 0; i < count; ++i) {
        DialogItemTemplate item;
        std::uint16_t extra = 0;
        if (!r.AlignDword() || !readFixed(&item))
            return Fail(error, "truncated dialog item");
        if (!r.Field(&item.windowClass) || !r.Field(&item.title))
            return Fail(error, "unterminated item class or title");
        if (!r.Word(&extra) || !r.Bytes(extra, &item.creationData))
            return Fail(error, "item creation data beyond the data");
        d->items.push_back(std::move(item));
    }
    return true;
}

}  // namespace

bool ReadDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate* out,
                        std::string* error) {
    if (data == nullptr)
        return Fail(error, "no template");
    Reader r(data, size);
    DialogTemplate d;
    std::uint16_t version = 0, signature = 0, count = 0;
    if (!r.Word(&version) || !r.Word(&signature))
        return Fail(error, "truncated template header");
    if (version != 1 || signature != 0xFFFF)
        return Fail(error, "not an extended dialog template");
    if (!r.Dword(&d.helpId) || !r.Dword(&d.exStyle) || !r.Dword(&d.style) || !r.Word(&count) ||
        !ReadBox(r, &d)) {
        return Fail(error, "truncated template header");
    }
    if (count > kMostDialogItems)
        return Fail(error, "too many dialog items");
    if (!ReadNames(r, &d, error))
        return false;
    d.hasFont = (d.style & kDsSetFont) != 0;
    if (d.hasFont && (!r.Word(&d.pointSize) || !r.Word(&d.weight) || !r.Byte(&d.italic) ||
                      !r.Byte(&d.charset) || !r.String(&d.face))) {
        return Fail(error, "truncated font");
    }
    const auto readFixed = [&r](DialogItemTemplate* item) {
        return r.Dword(&item->helpId) && r.Dword(&item->exStyle) && r.Dword(&item->style) &&
               ReadBox(r, item) && r.Dword(&item->id);
    };
    if (!ReadItems(r, count, kSmallestItem, readFixed, &d, error))
        return false;
    *out = std::move(d);
    return true;
}

bool ReadClassicDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate* out,
                               std::string* error) {
    if (data == nullptr)
        return Fail(error, "no template");
    Reader r(data, size);
    DialogTemplate d;
    std::uint16_t count = 0;
    if (!r.Dword(&d.style) || !r.Dword(&d.exStyle) || !r.Word(&count) || !ReadBox(r, &d)) {
        return Fail(error, "truncated template header");
    }
    // Version 1 and the signature 0xFFFF, read as a style.
    if (d.style == 0xFFFF0001)
        return Fail(error, "an extended dialog template");
    if (count > kMostDialogItems)
        return Fail(error, "too many dialog items");
    if (!ReadNames(r, &d, error))
        return false;
    d.hasFont = (d.style & kDsSetFont) != 0;
    if (d.hasFont) {
        d.charset = 1;  // DEFAULT_CHARSET: the classic form names no weight, slant or set
        if (!r.Word(&d.pointSize) || !r.String(&d.face))
            return Fail(error, "truncated font");
    }
    const auto readFixed = [&r](DialogItemTemplate* item) {
        std::int16_t id = 0;
        if (!r.Dword(&item->style) || !r.Dword(&item->exStyle) || !ReadBox(r, item) ||
            !r.Short(&id))
            return false;
        item->id = static_cast<std::uint32_t>(static_cast<std::int32_t>(id));  // -1 stays -1
        return true;
    };
    if (!ReadItems(r, count, kSmallestClassicItem, readFixed, &d, error))
        return false;
    *out = std::move(d);
    return true;
}

}  // namespace platform
