#include "app/gtk/shell_open.h"

#include <gio/gio.h>

#include "browser/gtk/gobject_ptr.h"

namespace kesto::gtk {

bool OpenWithDefaultProgram(const std::string& target) {
    std::string uri = target;
    if (target.find("://") == std::string::npos) {
        const GCharPtr fileUri(g_filename_to_uri(target.c_str(), nullptr, nullptr));
        if (!fileUri) {
            return false;
        }
        uri = fileUri.get();
    }
    GError* rawError = nullptr;
    const bool started =
        g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &rawError) != FALSE;
    const GErrorPtr error(rawError);
    if (error) {
        g_warning("cannot open %s: %s", uri.c_str(), error->message);
    }
    return started;
}

}  // namespace kesto::gtk
