// Fuzzes the reader of compiled message catalogs, which the Windows programs read from beside
// themselves: a file anyone may replace. Besides crashes, leaks and undefined behaviour, every
// translation it answers must end inside what it read.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/portable/message_catalog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const kesto::MessageCatalogRead read = kesto::ReadMessageCatalog(bytes);
    if (!read.problem.empty() && read.catalog.size() != 0) {
        std::abort();  // a refused file must leave no entries
    }
    for (const char* english : {"yes", "  --help           show this text\n", ""}) {
        if (const char* found = read.catalog.Find(english)) {
            if (std::strlen(found) > size) {
                std::abort();
            }
        }
    }
    return 0;
}
