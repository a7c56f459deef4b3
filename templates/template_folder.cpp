#include "templates/template_folder.h"

#include <algorithm>
#include <iterator>
#include <system_error>

#include "platform/translation.h"
#include "support/ascii_text.h"
#include "support/file_path.h"
#include "support/fill_in.h"
#include "templates/file_listing.h"

namespace kesto {

namespace {

constexpr const char* kAreaFolders[] = {"head", "main", "class"};

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(PathFromUtf8(path), error);
}

// Whether the folder (ending with the separator) holds any of a template's three area folders.
bool LooksLikeTemplate(const std::string& folder) {
    return std::any_of(std::begin(kAreaFolders), std::end(kAreaFolders),
                       [&folder](const char* area) { return IsFolder(folder + area); });
}

// "a" + "b" with the separator between them; "b" alone when a is empty.
std::string Joined(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + kPathSeparator + name;
}

ListedFolder ListFolder(const std::string& root, const std::string& relative) {
    ListedFolder listed;
    listed.relative = relative;
    listed.path = relative.empty() ? root : root + relative + kPathSeparator;
    listed.exists = IsFolder(listed.path);
    // Where the system cannot even look at so long a path, the folder seems not to be there:
    // its length is what the check then names.
    listed.tooLong = FolderPathTooLongToList(listed.path);
    if (listed.exists) {
        listed.listed = ListFilesAndFolders(listed.path, listed.files, listed.folders) > 0;
    }
    return listed;
}

// Size and modification time of the file at path, following links as opening it would.
void Measure(const std::string& path, std::uintmax_t& size, std::filesystem::file_time_type& time,
             bool& measured) {
    std::error_code sizeError;
    std::error_code timeError;
    const std::filesystem::path file = PathFromUtf8(path);
    size = std::filesystem::file_size(file, sizeError);
    time = std::filesystem::last_write_time(file, timeError);
    measured = !sizeError && !timeError;
    if (!measured) {
        size = 0;
        time = {};
    }
}

TemplateFile FileOf(const ListedFolder& folder, const std::string& name) {
    TemplateFile file;
    file.name = name;
    file.relative = Joined(folder.relative, name);
    file.path = folder.path + name;
    Measure(file.path, file.size, file.modified, file.measured);
    return file;
}

void SkipFolders(const ListedFolder& folder, std::vector<SkippedEntry>& skipped) {
    for (const std::string& name : folder.folders) {
        skipped.push_back({Joined(folder.relative, name), SkipReason::kFolder});
    }
}

SignFolder ReadSignFolder(const std::string& root) {
    SignFolder head;
    head.folder = ListFolder(root, "head");
    SkipFolders(head.folder, head.skipped);
    const std::string picture = FindFirstPicture(head.folder.files);
    for (const std::string& name : head.folder.files) {
        if (name != picture && (picture.empty() || HasPictureEnding(name) ||
                                EndsWithIgnoringAsciiCase(name, ".png"))) {
            head.skipped.push_back({Joined(head.folder.relative, name),
                                    picture.empty() ? SkipReason::kNoSignPictureName
                                                    : SkipReason::kNotTheSignPicture});
        }
    }
    if (!picture.empty()) {
        head.picture = FileOf(head.folder, picture);
    }
    return head;
}

PageTextEncoding EncodingOf(const std::string& bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return PageTextEncoding::kUtf8Mark;
    }
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return PageTextEncoding::kUtf16Mark;
    }
    return PageTextEncoding::kCodePage;
}

MainFolder ReadMainFolder(const std::string& root) {
    MainFolder main;
    main.folder = ListFolder(root, "main");
    SkipFolders(main.folder, main.skipped);
    const MainFolderContent content = ClassifyMainFolder(main.folder.files);
    for (const std::string& name : main.folder.files) {
        const bool text = EndsWithIgnoringAsciiCase(name, ".txt");
        if (!HasPictureEnding(name) && !text) {
            main.skipped.push_back({Joined(main.folder.relative, name), SkipReason::kNotAPicture});
        } else if (text && name != content.contentFile) {
            main.skipped.push_back(
                {Joined(main.folder.relative, name), SkipReason::kNotThePageText});
        }
    }
    for (const std::string& picture : content.pictures) {
        main.pictures.push_back(FileOf(main.folder, picture));
    }
    if (!content.contentFile.empty()) {
        PageText text;
        text.file = FileOf(main.folder, content.contentFile);
        text.read = ReadRegularFile(text.file.path, kPageTextLimitBytes, text.bytes);
        text.encoding = EncodingOf(text.bytes);
        main.pageText = std::move(text);
    }
    return main;
}

TemplateCategory ReadCategory(const std::string& root, const std::string& classRelative,
                              const std::string& name) {
    TemplateCategory category;
    category.folder = ListFolder(root, Joined(classRelative, name));
    SkipFolders(category.folder, category.skipped);
    const std::vector<std::string>& files = category.folder.files;
    if (std::any_of(files.begin(), files.end(),
                    [](const std::string& entry) { return IsThumbnailCache(entry); })) {
        category.skipped.push_back(
            {Joined(category.folder.relative, "thumbs.db"), SkipReason::kThumbnailCache});
    }
    category.tree = SortCategoryEntries(name, files);
    if (!category.tree.top.entry.empty()) {
        category.pictures.push_back(FileOf(category.folder, category.tree.top.entry));
    }
    for (const CategoryPicture& sub : category.tree.subcategories) {
        category.pictures.push_back(FileOf(category.folder, sub.entry));
    }
    return category;
}

ClassFolder ReadClassFolder(const std::string& root) {
    ClassFolder categories;
    categories.folder = ListFolder(root, "class");
    for (const std::string& name : categories.folder.folders) {
        categories.categories.push_back(ReadCategory(root, categories.folder.relative, name));
    }
    return categories;
}

}  // namespace

bool ChangedSinceRead(const TemplateFile& file) {
    TemplateFile now;
    Measure(file.path, now.size, now.modified, now.measured);
    return !file.measured || !now.measured || now.size != file.size ||
           now.modified != file.modified;
}

std::string DescribeChangedFile(const std::string& path) {
    return FillIn(Translate("the file {} changed while it was sent"), {path});
}

TemplateFolder ReadTemplateFolder(const std::string& folder, const TemplateAreas& areas) {
    TemplateFolder read;
    read.path = WithTrailingSeparator(folder);
    read.top = ListFolder(read.path, "");
    read.exists = read.top.exists;
    read.isTemplate = read.exists && LooksLikeTemplate(read.path);
    if (read.exists && !read.isTemplate) {
        for (const std::string& name : read.top.folders) {
            if (LooksLikeTemplate(read.path + name + kPathSeparator)) {
                read.templatesInside.push_back(name);
            }
        }
    }
    if (areas.shopSign) {
        read.head = ReadSignFolder(read.path);
    }
    if (areas.mainPage) {
        read.main = ReadMainFolder(read.path);
    }
    if (areas.categories) {
        read.categories = ReadClassFolder(read.path);
    }
    return read;
}

}  // namespace kesto
