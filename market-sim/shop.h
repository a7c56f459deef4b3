#pragma once
// One shop's state: its layout and modules, its shop sign, its categories and its album.

#include <optional>
#include <string>
#include <vector>

#include "market-sim/album_store.h"
#include "market-sim/layout_model.h"

namespace kesto::sim {

struct Category {
    std::string id;
    std::string parentId;  // "0" for a top-level category
    std::string name;
    std::string pictureAddress;
};

struct StoredFile {
    std::string fileName;
    std::string bytes;
};

struct Shop {
    std::string userNumber;
    std::string nickname;
    ShopLayout layout;
    std::optional<StoredFile> sign;
    std::optional<StoredFile> pendingSign;  // a chunked shop sign upload under way
    std::vector<Category> categories;
    Album album;
    bool passwordRequired = false;  // the transaction password must be entered first
};

}  // namespace kesto::sim
