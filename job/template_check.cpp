#include "job/template_check.h"

#include <filesystem>
#include <system_error>

#include "image/picture_size.h"
#include "job/category_records.h"
#include "job/input_limits.h"
#include "job/main_page_text.h"
#include "support/bounded_file.h"
#include "support/file_path.h"
#include "upload/file_listing.h"

namespace kesto {

namespace {

constexpr const char* kAreaFolders[] = {"head", "main", "class"};

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(PathFromUtf8(path), error);
}

// Whether the folder holds any of a template's three area folders.
bool LooksLikeTemplate(const std::string& folder) {
    for (const char* area : kAreaFolders) {
        if (IsFolder(folder + area)) {
            return true;
        }
    }
    return false;
}

class Checker {
  public:
    explicit Checker(const JobRequest& request)
        : request_(request), root_(WithTrailingSeparator(request.templatePath)) {}

    std::vector<TemplateProblem> Run() {
        if (!IsFolder(root_)) {
            Add("", "the template folder does not exist");
            return problems_;
        }
        if (!LooksLikeTemplate(root_)) {
            RejectFolderOfTemplates();
            return problems_;
        }
        if (request_.shopSign) {
            CheckShopSign();
        }
        if (request_.mainPage) {
            CheckMainPage();
        }
        if (request_.categories) {
            CheckCategories();
        }
        return problems_;
    }

  private:
    void Add(std::string file, std::string problem) {
        problems_.push_back({std::move(file), std::move(problem)});
    }

    // A folder with none of the area folders: a folder of templates, or no template at all.
    void RejectFolderOfTemplates() {
        std::vector<std::string> subfolders;
        ListSubfolders(root_, subfolders);
        std::string templates;
        for (const std::string& name : subfolders) {
            if (LooksLikeTemplate(root_ + name + kPathSeparator)) {
                templates += (templates.empty() ? "" : ", ") + name;
            }
        }
        if (templates.empty()) {
            Add("", "this is not a template: it has no head, main or class folder");
        } else {
            Add("", "this folder holds templates (" + templates +
                        "), not one template: choose one of them");
        }
    }

    // A picture the job will upload: a regular file the graphics library can read.
    void CheckPicture(const std::string& relative) {
        const std::string path = root_ + relative;
        std::error_code error;
        const auto status = std::filesystem::status(PathFromUtf8(path), error);
        if (status.type() != std::filesystem::file_type::regular) {
            Add(relative, "is not a regular file");
            return;
        }
        const PictureSize size = ReadPictureSize(path);
        if (size.width <= 0 || size.height <= 0) {
            Add(relative, "cannot be read as a picture (JPEG, PNG or GIF of a sane size)");
        }
    }

    void CheckShopSign() {
        std::vector<std::string> names;
        ListEntries(root_ + "head" + kPathSeparator, names);
        const std::string picture = FindFirstPicture(names);
        // No picture: the job says so and goes on without a shop sign.
        if (!picture.empty()) {
            CheckPicture(std::string("head") + kPathSeparator + picture);
        }
    }

    void CheckMainPage() {
        const std::string folder = std::string("main") + kPathSeparator;
        if (!IsFolder(root_ + folder)) {
            Add("main", "the main page folder is missing");
            return;
        }
        std::vector<std::string> names;
        ListEntries(root_ + folder, names);
        const MainFolderContent content = ClassifyMainFolder(names);
        if (content.contentFile.empty()) {
            Add("main", "holds no page text (a .txt file)");
        } else {
            std::string bytes;
            const FileReadResult read =
                ReadRegularFile(root_ + folder + content.contentFile, kMaxPageTextBytes, bytes);
            if (read != FileReadResult::kRead) {
                Add(folder + content.contentFile,
                    std::string(DescribeFileReadResult(read)) +
                        (read == FileReadResult::kTooLarge ? " (at most 1 MiB)" : ""));
            }
        }
        for (const std::string& picture : content.pictures) {
            CheckPicture(folder + picture);
        }
    }

    void CheckCategories() {
        const std::string folder = std::string("class") + kPathSeparator;
        std::vector<std::string> categories;
        ListSubfolders(root_ + folder, categories);
        if (categories.empty()) {
            Add("class", "holds no category folder");
            return;
        }
        for (const std::string& category : categories) {
            const std::string categoryFolder = folder + category + kPathSeparator;
            std::vector<std::string> entries;
            ListEntries(root_ + categoryFolder, entries);
            const CategoryFolder sorted = SortCategoryEntries(category, std::move(entries));
            if (sorted.top.entry.empty()) {
                Add(folder + category, "has no top picture (a picture whose name has no \"-\")");
            } else {
                CheckPicture(categoryFolder + sorted.top.entry);
            }
            for (const CategoryPicture& sub : sorted.subcategories) {
                CheckPicture(categoryFolder + sub.entry);
            }
        }
    }

    const JobRequest& request_;
    const std::string root_;
    std::vector<TemplateProblem> problems_;
};

}  // namespace

std::vector<TemplateProblem> CheckTemplate(const JobRequest& request) {
    return Checker(request).Run();
}

}  // namespace kesto
