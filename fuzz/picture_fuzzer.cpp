// Fuzzes the two readers of picture files that run before any graphics library sees a file:
// the declared size and the search for the picture's end. Template files are anyone's bytes;
// besides crashes, leaks and undefined behaviour, a reader must never hang.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "image/picture_end.h"
#include "image/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream forSize(bytes);
    kesto::ReadDeclaredSize(forSize);
    std::istringstream forEnd(bytes);
    kesto::FindPictureEnd(forEnd);
    return 0;
}
