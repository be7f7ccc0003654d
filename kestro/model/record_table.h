// RecordTable: the records of one kind, kept in the order of their identifiers, so that the
// ordinal i of the flat interface is simply the i-th record by identifier.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace kestro {

// `Record` has a 32-bit `id` member. Identifiers are unique within a table; lookups by
// identifier are logarithmic, by ordinal constant, so a client that walks a whole kind by
// ordinals costs linear time.
template <typename Record>
class RecordTable {
  public:
    RecordTable() = default;
    RecordTable(std::initializer_list<Record> records) {
        for (const Record& record : records) {
            Put(record);
        }
    }

    std::int32_t Count() const { return static_cast<std::int32_t>(records_.size()); }

    // The record with identifier `id`; null when there is none.
    const Record* Find(std::int32_t id) const {
        auto it = LowerBound(id);
        return it != records_.end() && it->id == id ? &*it : nullptr;
    }

    // The `ordinal`-th record by identifier, counted from 1; null outside 1..Count().
    const Record* AtOrdinal(std::int32_t ordinal) const {
        if (ordinal < 1 || ordinal > Count()) {
            return nullptr;
        }
        return &records_[static_cast<std::size_t>(ordinal - 1)];
    }

    // Creates the record, or replaces the one with the same identifier.
    void Put(Record record) {
        if (records_.empty() || records_.back().id < record.id) {
            records_.push_back(std::move(record));  // the usual case: identifiers rising
            return;
        }
        auto it = LowerBound(record.id);
        if (it != records_.end() && it->id == record.id) {
            *it = std::move(record);
        } else {
            records_.insert(it, std::move(record));
        }
    }

    // Removes the record with identifier `id`; false when there was none.
    bool Remove(std::int32_t id) {
        auto it = LowerBound(id);
        if (it == records_.end() || it->id != id) {
            return false;
        }
        records_.erase(it);
        return true;
    }

    // The records in the order of their identifiers.
    auto begin() const { return records_.begin(); }
    auto end() const { return records_.end(); }

    bool operator==(const RecordTable&) const = default;

  private:
    auto LowerBound(std::int32_t id) const {
        return std::lower_bound(
            records_.begin(), records_.end(), id,
            [](const Record& record, std::int32_t key) { return record.id < key; });
    }
    auto LowerBound(std::int32_t id) {
        return std::lower_bound(
            records_.begin(), records_.end(), id,
            [](const Record& record, std::int32_t key) { return record.id < key; });
    }

    std::vector<Record> records_;
};

}  // namespace kestro
