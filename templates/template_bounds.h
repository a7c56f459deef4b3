#pragma once
// Keeping a template to its own folder: a link (a symbolic link, a junction) inside a template
// may lead anywhere, and what it leads to would be uploaded and published. A link whose target
// lies inside the template folder is as good as the entry it leads to; any other is refused.

#include <string>
#include <vector>

namespace kesto {

enum class LinkVerdict {
    kNoLink,   // an entry of its own (or one whose place cannot be told)
    kInside,   // a link to a place inside the template folder
    kOutside,  // an entry that stands outside it, through a link
    kBroken,   // a link whose target cannot be found
};

class TemplateBounds {
  public:
    // folder: the template folder, with or without a separator at its end; it may itself be
    // reached through a link.
    explicit TemplateBounds(const std::string& folder);

    // The verdict on the entry at path, a path of an entry in the template folder: where it
    // stands once every link on its way is followed.
    LinkVerdict Judge(const std::string& path) const;

    // The first of the paths (entries in the template folder) that is a link leading out of it
    // or a broken link; empty when every one is the template's own.
    std::string FirstLeavingPath(const std::vector<std::string>& paths) const;

    // Where the entry at path leads once every link is followed; empty when that is unknown.
    static std::string Target(const std::string& path);

  private:
    std::string resolvedFolder_;  // empty when the template folder cannot be resolved
};

// The folder a path lies in, from its text alone (a separator at its end ignored): the template
// folder of "T/main", the folder "T/head" of "T/head/sign.gif". Links do not move it.
std::string ParentFolder(const std::string& path);

}  // namespace kesto
