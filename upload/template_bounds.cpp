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

std::string TemplateBounds::FirstLeavingPath(const std::vector<std::string>& paths) const {
    for (const std::string& path : paths) {
        const LinkVerdict verdict = Judge(path);
        if (verdict == LinkVerdict::kOutside || verdict == LinkVerdict::kBroken) {
            return path;
        }
    }
    return {};
}

std::string TemplateBounds::Target(const std::string& path) {
    return ResolvedPath(path);
}

std::string ParentFolder(const std::string& path) {
    const std::string separators = {'/', kPathSeparator};
    const std::size_t end = path.find_last_not_of(separators);
    if (end == std::string::npos) {
        return path;  // the root, or nothing
    }
    const std::size_t separator = path.find_last_of(separators, end);
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator + 1);
}

}  // namespace kesto
