// TextArena: keeps many short texts in a few large blocks, each text a view that stays valid
// for the arena's life. For readers that keep hundreds of thousands of keys and values (a
// whole configuration in memory): one allocation per block instead of one per text, and one
// free at the end.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

class TextArena {
  public:
    // Blocks of `blockSize` bytes; a longer text gets a block of its own size.
    explicit TextArena(std::size_t blockSize = 1 << 20) : blockSize_(blockSize) {}
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;
    TextArena(TextArena&&) = default;
    TextArena& operator=(TextArena&&) = default;

    // A copy of `text` kept in the arena.
    std::string_view Keep(std::string_view text) {
        if (text.empty()) {
            return {};
        }
        if (text.size() > free_) {
            const std::size_t size = std::max(blockSize_, text.size());
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
            next_ = blocks_.back().get();
            free_ = size;
        }
        char* kept = next_;
        std::memcpy(kept, text.data(), text.size());
        next_ += text.size();
        free_ -= text.size();
        return {kept, text.size()};
    }

  private:
    std::size_t blockSize_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    std::size_t free_ = 0;
};
