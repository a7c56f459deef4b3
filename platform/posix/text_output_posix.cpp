#include "platform/text_output.h"

namespace kesto {

void WriteText(std::FILE* stream, std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

}  // namespace kesto
