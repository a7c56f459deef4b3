// Folder enumeration on POSIX systems: readdir, with stat where the entry type is unknown.

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include "platform/folder_enumeration.h"

namespace kesto {

namespace {

class PosixFolderEnumeration final : public FolderEnumeration {
  public:
    PosixFolderEnumeration(DIR* directory, std::string folder)
        : directory_(directory), folder_(std::move(folder)) {}
    ~PosixFolderEnumeration() override { closedir(directory_); }
    PosixFolderEnumeration(const PosixFolderEnumeration&) = delete;
    PosixFolderEnumeration& operator=(const PosixFolderEnumeration&) = delete;

    bool Next(FolderEntry& entry) override {
        errno = 0;
        const dirent* found = readdir(directory_);
        if (found == nullptr) {
            lastError_ = errno == 0 ? kNoMoreEntries : static_cast<std::uint32_t>(errno);
            return false;
        }
        entry.name = found->d_name;
        entry.isFolder = IsFolder(*found);
        return true;
    }

    std::uint32_t LastError() const override { return lastError_; }

  private:
    bool IsFolder(const dirent& found) const {
        if (found.d_type != DT_UNKNOWN && found.d_type != DT_LNK) {
            return found.d_type == DT_DIR;
        }
        struct stat status {};
        const std::string path = folder_ + found.d_name;
        return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    }

    DIR* directory_;
    std::string folder_;
    std::uint32_t lastError_ = kNoMoreEntries;
};

}  // namespace

std::unique_ptr<FolderEnumeration> FolderEnumeration::Start(const std::string& folder,
                                                            FolderEntry& first) {
    DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr) {
        return nullptr;
    }
    auto enumeration = std::make_unique<PosixFolderEnumeration>(directory, folder);
    if (!enumeration->Next(first)) {
        return nullptr;
    }
    return enumeration;
}

}  // namespace kesto
