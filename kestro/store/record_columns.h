// The table of each record kind in the station database: its name and one column per record
// value, with how the value is taken from a record and put back. The store builds all of its
// SQL from these lists, so that a table and its record cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <variant>
#include <vector>

#include "kestro/model/records.h"

namespace kestro::store_detail {

enum class ColumnType { kInteger, kReal, kText };

// A value on its way to or from a column: integers of every width widen to 64 bits.
using ColumnValue = std::variant<std::int64_t, double, Text>;

template <typename Record>
struct Column {
    const char* name;
    ColumnType type;
    ColumnValue (*get)(const Record&);
    // Takes a value of the column's own type, within its range (the store checks both
    // before).
    void (*set)(Record&, const ColumnValue&);
    // The values an integer column may hold: those of the record member's own width, so that
    // a value stored behind the server's back is refused rather than cut.
    std::int64_t minimum = std::numeric_limits<std::int64_t>::min();
    std::int64_t maximum = std::numeric_limits<std::int64_t>::max();
};

template <typename T>
constexpr ColumnType TypeOf() {
    if constexpr (std::is_integral_v<T>) {
        return ColumnType::kInteger;
    } else if constexpr (std::is_floating_point_v<T>) {
        return ColumnType::kReal;
    } else {
        static_assert(std::is_same_v<T, Text>, "a column holds an integer, a double or a text");
        return ColumnType::kText;
    }
}

// The range of an integer member of type T (unused for other columns).
template <typename T>
constexpr std::int64_t MinimumOf() {
    if constexpr (std::is_integral_v<T>) {
        return std::int64_t{std::numeric_limits<T>::min()};
    } else {
        return std::numeric_limits<std::int64_t>::min();
    }
}
template <typename T>
constexpr std::int64_t MaximumOf() {
    if constexpr (std::is_integral_v<T>) {
        return static_cast<std::int64_t>(std::numeric_limits<T>::max());
    } else {
        return std::numeric_limits<std::int64_t>::max();
    }
}

template <typename T>
ColumnValue ToColumn(const T& value) {
    if constexpr (std::is_integral_v<T>) {
        return std::int64_t{value};
    } else {
        return value;
    }
}

template <typename T>
void FromColumn(const ColumnValue& value, T& out) {
    if constexpr (std::is_integral_v<T>) {
        out = static_cast<T>(std::get<std::int64_t>(value));
    } else {
        out = std::get<T>(value);
    }
}

template <typename Member>
struct MemberTraits;
template <typename R, typename T>
struct MemberTraits<T R::*> {
    using Record = R;
    using Type = T;
};

// The column of the record member `member`.
template <auto member>
Column<typename MemberTraits<decltype(member)>::Record> Field(const char* name) {
    using Record = typename MemberTraits<decltype(member)>::Record;
    using Type = typename MemberTraits<decltype(member)>::Type;
    return {name,
            TypeOf<Type>(),
            [](const Record& record) { return ToColumn(record.*member); },
            [](Record& record, const ColumnValue& value) { FromColumn(value, record.*member); },
            MinimumOf<Type>(),
            MaximumOf<Type>()};
}

// The column of the member `inner` of the record's member `outer` (a port's radio settings).
template <auto outer, auto inner>
Column<typename MemberTraits<decltype(outer)>::Record> Nested(const char* name) {
    using Record = typename MemberTraits<decltype(outer)>::Record;
    using Type = typename MemberTraits<decltype(inner)>::Type;
    return {
        name,
        TypeOf<Type>(),
        [](const Record& record) { return ToColumn(record.*outer.*inner); },
        [](Record& record, const ColumnValue& value) { FromColumn(value, record.*outer.*inner); },
        MinimumOf<Type>(),
        MaximumOf<Type>()};
}

// The table of a record kind: kName and Columns() (every value but the identifier, which is
// the table's key).
template <typename Record>
struct Table;

#define KESTRO_STORE_TABLE(RecordType, tableName)                \
    template <>                                                  \
    struct Table<RecordType> {                                   \
        static constexpr const char* kName = tableName;          \
        static const std::vector<Column<RecordType>>& Columns(); \
    };

KESTRO_STORE_TABLE(PortRecord, "ports")
KESTRO_STORE_TABLE(GradeRecord, "grades")
KESTRO_STORE_TABLE(TankRecord, "tanks")
KESTRO_STORE_TABLE(ZigBeeRecord, "zigbee_devices")
KESTRO_STORE_TABLE(PumpRecord, "pumps")
KESTRO_STORE_TABLE(HoseRecord, "hoses")
KESTRO_STORE_TABLE(SensorRecord, "sensors")
KESTRO_STORE_TABLE(AttendantRecord, "attendants")
KESTRO_STORE_TABLE(CardClientRecord, "card_clients")
KESTRO_STORE_TABLE(ProductRecord, "products")

#undef KESTRO_STORE_TABLE

}  // namespace kestro::store_detail
