#include "platform/translation.h"

namespace kesto {

// The Windows programs carry no message catalogs yet: their command line speaks English.
void StartTranslations() {}

const char* Translate(const char* english) {
    return english;
}

}  // namespace kesto
