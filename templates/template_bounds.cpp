#include "templates/template_bounds.h"

#include "platform/file_links.h"
#include "support/file_path.h"

namespace kesto {

TemplateBounds::TemplateBounds(const std::string& folder) : resolvedFolder_(ResolvedPath(folder)) {}

// Where the entry stands decides, not what the system calls a link: some systems (Wine) show a
// linked file as a plain one, but follow the link when the file is opened. Where that place
// cannot be told, only a link is suspect.
LinkVerdict TemplateBounds::Judge(const std::string& path) const {
    const std::string target = ResolvedPath(path);
    if (target.empty()) {
        return IsLink(path) ? LinkVerdict::kBroken : LinkVerdict::kNoLink;
    }
    if (resolvedFolder_.empty()) {
        return IsLink(path) ? LinkVerdict::kOutside : LinkVerdict::kNoLink;
    }
    const bool inside =
        target == resolvedFolder_ || target.starts_with(WithTrailingSeparator(resolvedFolder_));
    if (!inside) {
        return LinkVerdict::kOutside;
    }
    return IsLink(path) ? LinkVerdict::kInside : LinkVerdict::kNoLink;
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
