#pragma once
// A shop's photo album: folders (each known by an id the album gives it) holding folders and
// pictures. Paths use the album's notation: "/" is the top, "/a/b/" the folder b inside a.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::sim {

struct AlbumPicture {
    std::string id;
    std::string fileName;
    std::string extension;  // "jpg", "gif" or "png"
    std::string address;    // where the album host serves it
    std::string bytes;
};

struct AlbumFolder {
    std::string id;
    std::string name;
    std::vector<AlbumFolder> folders;
    std::vector<AlbumPicture> pictures;
};

class Album {
  public:
    // The folder at a path ending in "/", or null.
    AlbumFolder* FindFolder(std::string_view path);
    const AlbumFolder* FindFolder(std::string_view path) const;
    // Removes the folder or picture at "/a/b" (no trailing "/"); false when there is none.
    bool RemoveItem(std::string_view path);
    // The picture at "/a/b/p" (no trailing "/"), or null when the path names a folder or nothing.
    const AlbumPicture* FindPictureAt(std::string_view path) const;
    // The picture with that id anywhere in the album, or null.
    const AlbumPicture* FindPicture(std::string_view id) const;
    const AlbumFolder& Top() const { return top_; }
    // Bytes of all pictures, for keeping the album within its quota.
    std::size_t TotalBytes() const;

  private:
    AlbumFolder top_;
};

// The folder ids of a path such as "/a/b/"; no value when the path is not in that notation.
std::optional<std::vector<std::string>> SplitAlbumPath(std::string_view path, bool trailingSlash);

}  // namespace kesto::sim
