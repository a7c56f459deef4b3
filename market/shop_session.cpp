#include "market/shop_session.h"

#include "support/utf16.h"

namespace kesto {

bool CodeUnitLess::operator()(std::string_view a, std::string_view b) const {
    const std::u16string unitsA = Utf8ToUtf16(a);
    const std::u16string unitsB = Utf8ToUtf16(b);
    if (unitsA != unitsB) {
        return unitsA < unitsB;
    }
    // Distinct malformed texts can convert alike; their bytes keep them apart.
    return a < b;
}

}  // namespace kesto
