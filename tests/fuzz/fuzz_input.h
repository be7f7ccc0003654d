// Reading a fuzz input piece by piece: the checks of tests/fuzz/ take their choices (which
// format, which argument, where to cut) from the front of the bytes and keep the rest as
// content, so that every byte string is a valid input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace fuzz_input {

class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Empty() const { return bytes_.empty(); }

    // The next byte, or 0 when none is left.
    std::uint8_t Byte() {
        if (bytes_.empty()) {
            return 0;
        }
        const std::uint8_t byte = bytes_.front();
        bytes_ = bytes_.subspan(1);
        return byte;
    }

    // The next sizeof(T) bytes as a T (zeros past the end).
    template <class T>
    T Value() {
        unsigned char raw[sizeof(T)] = {};
        for (unsigned char& byte : raw) {
            byte = Byte();
        }
        T value;
        std::memcpy(&value, raw, sizeof(T));
        return value;
    }

    // Up to `limit` bytes, as a length byte pair announces them.
    std::string Text(std::size_t limit) {
        const std::size_t wanted = Value<std::uint16_t>() % (limit + 1);
        return Take(wanted);
    }

    // Everything left.
    std::string Rest() { return Take(bytes_.size()); }

  private:
    std::string Take(std::size_t count) {
        count = count < bytes_.size() ? count : bytes_.size();
        std::string text(reinterpret_cast<const char*>(bytes_.data()), count);
        bytes_ = bytes_.subspan(count);
        return text;
    }

    std::span<const std::uint8_t> bytes_;
};

}  // namespace fuzz_input
