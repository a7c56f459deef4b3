#include "market-sim/album_store.h"

#include <algorithm>
#include <utility>

namespace kesto::sim {
namespace {

const AlbumFolder* Descend(const AlbumFolder& top, const std::vector<std::string>& ids) {
    const AlbumFolder* folder = &top;
    for (const auto& id : ids) {
        const auto child = std::find_if(folder->folders.begin(), folder->folders.end(),
                                        [&](const AlbumFolder& f) { return f.id == id; });
        if (child == folder->folders.end()) {
            return nullptr;
        }
        folder = &*child;
    }
    return folder;
}

const AlbumPicture* FindPictureIn(const AlbumFolder& folder, std::string_view id) {
    for (const auto& picture : folder.pictures) {
        if (picture.id == id) {
            return &picture;
        }
    }
    for (const auto& child : folder.folders) {
        if (const auto* picture = FindPictureIn(child, id)) {
            return picture;
        }
    }
    return nullptr;
}

std::size_t BytesIn(const AlbumFolder& folder) {
    std::size_t total = 0;
    for (const auto& picture : folder.pictures) {
        total += picture.bytes.size();
    }
    for (const auto& child : folder.folders) {
        total += BytesIn(child);
    }
    return total;
}

}  // namespace

std::optional<std::vector<std::string>> SplitAlbumPath(std::string_view path, bool trailingSlash) {
    if (path.empty() || path.front() != '/') {
        return std::nullopt;
    }
    path.remove_prefix(1);
    if (trailingSlash) {
        if (path.empty()) {
            return std::vector<std::string>{};
        }
        if (path.back() != '/') {
            return std::nullopt;
        }
        path.remove_suffix(1);
    }
    std::vector<std::string> ids;
    while (true) {
        const auto end = path.find('/');
        const std::string_view id = path.substr(0, end);
        if (id.empty()) {
            return std::nullopt;
        }
        ids.emplace_back(id);
        if (end == std::string_view::npos) {
            return ids;
        }
        path.remove_prefix(end + 1);
    }
}

const AlbumFolder* Album::FindFolder(std::string_view path) const {
    const auto ids = SplitAlbumPath(path, true);
    return ids ? Descend(top_, *ids) : nullptr;
}

AlbumFolder* Album::FindFolder(std::string_view path) {
    return const_cast<AlbumFolder*>(std::as_const(*this).FindFolder(path));
}

bool Album::RemoveItem(std::string_view path) {
    auto ids = SplitAlbumPath(path, false);
    if (!ids || ids->empty()) {
        return false;
    }
    const std::string id = ids->back();
    ids->pop_back();
    auto* parent = const_cast<AlbumFolder*>(Descend(top_, *ids));
    if (parent == nullptr) {
        return false;
    }
    const auto folders =
        std::erase_if(parent->folders, [&](const AlbumFolder& f) { return f.id == id; });
    const auto pictures =
        std::erase_if(parent->pictures, [&](const AlbumPicture& p) { return p.id == id; });
    return folders + pictures > 0;
}

const AlbumPicture* Album::FindPictureAt(std::string_view path) const {
    auto ids = SplitAlbumPath(path, false);
    if (!ids || ids->empty()) {
        return nullptr;
    }
    const std::string id = ids->back();
    ids->pop_back();
    const AlbumFolder* parent = Descend(top_, *ids);
    if (parent == nullptr) {
        return nullptr;
    }
    const auto picture = std::find_if(parent->pictures.begin(), parent->pictures.end(),
                                      [&](const AlbumPicture& p) { return p.id == id; });
    return picture == parent->pictures.end() ? nullptr : &*picture;
}

const AlbumPicture* Album::FindPicture(std::string_view id) const {
    return FindPictureIn(top_, id);
}

std::size_t Album::TotalBytes() const {
    return BytesIn(top_);
}

}  // namespace kesto::sim
