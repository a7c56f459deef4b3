#include "upload/template_bounds.h"

#include "platform/file_links.h"
#include "support/file_path.h"

namespace kesto {

TemplateBounds::TemplateBounds(const std::string& folder) : resolvedFolder_(ResolvedPath(folder)) {}

LinkVerdict TemplateBounds::Judge(const std::string& path) const {
    if (!IsLink(path)) {
        return LinkVerdict::kNoLink;
    }
    const std::string target = ResolvedPath(path);
    if (target.empty()) {
        return LinkVerdict::kBroken;
    }
    // Where the template folder cannot be resolved, no target is known to be inside it.
    if (resolvedFolder_.empty()) {
        return LinkVerdict::kOutside;
    }
    const std::string inside = WithTrailingSeparator(resolvedFolder_);
    return target == resolvedFolder_ || target.starts_with(inside) ? LinkVerdict::kInside
                                                                   : LinkVerdict::kOutside;
}

std::string TemplateBounds::Target(const std::string& path) {
    return ResolvedPath(path);
}

}  // namespace kesto
