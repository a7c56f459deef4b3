#include "templates/template_names.h"

#include <algorithm>
#include <iterator>

#include "support/ascii_text.h"

namespace kesto {

namespace {

constexpr const char* kPictureEndings[] = {".jpg", ".jpeg", ".gif"};

}  // namespace

bool HasPictureEnding(std::string_view name) {
    return std::any_of(
        std::begin(kPictureEndings), std::end(kPictureEndings),
        [name](const char* ending) { return EndsWithIgnoringAsciiCase(name, ending); });
}

std::string FindFirstPicture(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const std::size_t dot = name.find('.');
        if (dot == std::string::npos) {
            continue;
        }
        const std::string extension = AsciiLower(std::string_view(name).substr(dot + 1));
        if (extension == "gif" || extension == "jpg" || extension == "jpeg") {
            return name;
        }
    }
    return {};
}

MainFolderContent ClassifyMainFolder(const std::vector<std::string>& names) {
    MainFolderContent content;
    for (const std::string& name : names) {
        if (name.empty() || name.front() == '.') {
            continue;
        }
        if (HasPictureEnding(name)) {
            content.pictures.push_back(name);
        } else if (EndsWithIgnoringAsciiCase(name, ".txt")) {
            content.contentFile = name;
        }
    }
    return content;
}

std::string CategoryName(std::string_view entry) {
    const std::size_t dot = entry.find('.');
    return dot == std::string_view::npos ? std::string() : std::string(entry.substr(0, dot));
}

bool IsThumbnailCache(std::string_view entry) {
    return AsciiLower(entry) == "thumbs.db";
}

CategoryFolder SortCategoryEntries(std::string folder, std::vector<std::string> entries) {
    const auto thumbs = std::find_if(entries.begin(), entries.end(),
                                     [](const std::string& e) { return IsThumbnailCache(e); });
    if (thumbs != entries.end()) {
        entries.erase(thumbs);
    }
    CategoryFolder category{std::move(folder), {}, {}};
    const auto top = std::find_if(entries.begin(), entries.end(), [](const std::string& e) {
        return e.find('-') == std::string::npos;
    });
    if (top != entries.end()) {
        category.top = {*top, CategoryName(*top)};
        entries.erase(top);
    }
    for (std::string& entry : entries) {
        std::string name = CategoryName(entry);
        category.subcategories.push_back({std::move(entry), std::move(name)});
    }
    return category;
}

}  // namespace kesto
