// Which products a product filter selects.
#include "kestro/model/product_filter.h"

namespace kestro {
namespace {

bool Selected(const ProductRecord& product, const ProductFilter& filter) {
    if (filter.groupFilter >= 0 && product.productGroup != filter.groupFilter) {
        return false;
    }
    if (filter.enabledOnly != 0 && product.enabled == 0) {
        return false;
    }
    if (filter.barcodeOnly != 0 && (!product.barcode || product.barcode->empty())) {
        return false;
    }
    return product.number >= filter.firstNumber;
}

}  // namespace

std::vector<std::int32_t> SelectProducts(const RecordTable<ProductRecord>& products,
                                         const ProductFilter& filter) {
    std::vector<std::int32_t> ids;
    for (const ProductRecord& product : products) {
        if (filter.maxCount > 0 && static_cast<std::int32_t>(ids.size()) >= filter.maxCount) {
            break;
        }
        if (Selected(product, filter)) {
            ids.push_back(product.id);
        }
    }
    return ids;
}

}  // namespace kestro
