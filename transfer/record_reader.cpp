// The import's reading of records and its value conversions from configuration file keys.
#include "transfer/record_reader.h"

#include <string>

#include "common/fixed_amount.h"

namespace {

// The value's bytes: the low byte of each character, the inverse of CounterString's widening.
std::string BytesOf(const CounterString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.Length()));
    for (int i = 1; i <= text.Length(); ++i) {
        bytes += static_cast<char>(*text.At(i) & 0xFF);
    }
    return bytes;
}

}  // namespace

namespace record_reader {

bool IsPresent(const std::string& number) {
    return ToInt32(CounterString(number.c_str())) >= 1;
}

std::int32_t ToInt32(const CounterString& text) {
    return text.ToInt();
}

std::int16_t ToInt16(const CounterString& text) {
    return static_cast<std::int16_t>(text.ToInt());
}

double ToAmount(const CounterString& text) {
    return FixedAmount::FromDouble(text.ToDouble()).ToDouble();
}

bool SameValue(ValueKind kind, const std::string& a, const std::string& b) {
    if (kind == ValueKind::kText || a == b) {
        return a == b;
    }
    const CounterString first(a.c_str());
    const CounterString second(b.c_str());
    switch (kind) {
        case ValueKind::kInt16:
            return ToInt16(first) == ToInt16(second);
        case ValueKind::kInt32:
            return ToInt32(first) == ToInt32(second);
        case ValueKind::kAmount:
            return FixedAmount::FromDouble(first.ToDouble()) ==
                   FixedAmount::FromDouble(second.ToDouble());
        default:
            return a == b;
    }
}

}  // namespace record_reader

RecordReader::RecordReader(IniDocument& document, ReadObserver* observer)
    : document_(document), observer_(observer) {}

void RecordReader::Select(const std::string& section) {
    section_ = section;
    document_.SelectSection(section.c_str());
}

bool RecordReader::SelectRecord(const std::string& section) {
    Select(section);
    const bool present =
        record_reader::IsPresent(ReadString(record_reader::kNumberKey, ValueKind::kInt32));
    if (observer_ != nullptr) {
        observer_->RecordProbed(section_, present);
    }
    return present;
}

bool RecordReader::SelectRecord(config_layout::SectionPattern pattern, std::int32_t id) {
    return SelectRecord(config_layout::SectionName(pattern, id));
}

void RecordReader::Observe(const std::string& key, ValueKind kind) {
    if (observer_ != nullptr) {
        observer_->KeyRead(section_, key, kind);
    }
}

void RecordReader::ReadText(const std::string& key, Bstr& out) {
    Observe(key, ValueKind::kText);
    CounterString text;
    document_.GetString(key.c_str(), text);
    // Sign-extended bytes would reach the controller as U+FF80..U+FFFF: keep the byte only.
    WideString characters(text.Chars() != nullptr ? text.Chars() : OLESTR(""),
                          static_cast<std::size_t>(text.Length()));
    for (WCHAR& unit : characters) {
        unit &= 0xFF;
    }
    out = Bstr::FromUtf16(characters);
}

std::string RecordReader::ReadString(const std::string& key, ValueKind kind) {
    Observe(key, kind);
    CounterString text;
    document_.GetString(key.c_str(), text);
    return BytesOf(text);
}

bool RecordReader::ReadAll(RecordVisitor& visitor) {
    class Adapter : public IniDocument::Visitor {
      public:
        explicit Adapter(RecordVisitor& visitor) : visitor_(visitor) {}
        void Section(std::string_view name) override {
            section_.assign(name);
            visitor_.Section(section_);
        }
        // GetString's text is those bytes widened; ReadString narrows them back.
        void Key(std::string_view key, std::string_view value) override {
            visitor_.Value(key, value);
        }

      private:
        RecordVisitor& visitor_;
        std::string section_;
    };
    Adapter adapter(visitor);
    return document_.ReadInOrder(adapter);
}

std::int32_t RecordReader::ReadInt32(const std::string& key) {
    Observe(key, ValueKind::kInt32);
    return document_.GetInt(key.c_str());
}

std::int16_t RecordReader::ReadInt16(const std::string& key) {
    Observe(key, ValueKind::kInt16);
    return static_cast<std::int16_t>(document_.GetInt(key.c_str()));
}

double RecordReader::ReadAmount(const std::string& key) {
    Observe(key, ValueKind::kAmount);
    return document_.GetFixed(key.c_str()).ToDouble();
}
