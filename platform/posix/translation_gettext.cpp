#include <libintl.h>

#include <filesystem>
#include <system_error>

#include "platform/system.h"
#include "platform/translation.h"

namespace kesto {

namespace {

constexpr char kDomain[] = "kesto-decor";

}  // namespace

void StartTranslations() {
    const std::filesystem::path executable = ExecutableFolder();
    std::error_code error;
    std::filesystem::path catalogs = executable / "locale";
    if (!std::filesystem::is_directory(catalogs, error)) {
        catalogs = executable.parent_path().parent_path() / "share" / "locale";
    }
    bindtextdomain(kDomain, catalogs.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
}

const char* Translate(const char* english) {
    return dgettext(kDomain, english);
}

}  // namespace kesto
