// The selection of shop products that GetProductsCount and GetProductByOrdinal enumerate,
// made by their six filter arguments.
#pragma once

#include <cstdint>
#include <vector>

#include "kestro/model/record_table.h"
#include "kestro/model/records.h"

namespace kestro {

// The six filter arguments, in call order. Brenkar's -1, 0, 0, 0, 0, -1 selects every
// product.
struct ProductFilter {
    std::int32_t groupFilter = -1;     // below 0: any group; else only this ProductGroup
    std::int32_t enabledOnly = 0;      // non-zero: only products with Enabled non-zero
    std::int32_t barcodeOnly = 0;      // non-zero: only products with a non-empty Barcode
    std::int32_t firstNumber = 0;      // only products whose Number is at least this
    std::int32_t maxCount = 0;         // above 0: at most this many (the first by identifier)
    std::int32_t terminalFilter = -1;  // every product is sold at every terminal: no effect

    bool operator==(const ProductFilter&) const = default;
};

// The identifiers of the products that `filter` selects, in identifier order: the ordinal i
// of the enumeration is element i - 1.
std::vector<std::int32_t> SelectProducts(const RecordTable<ProductRecord>& products,
                                         const ProductFilter& filter);

}  // namespace kestro
