#pragma once
// A compiled message catalog, the binary .mo file msgfmt makes from a .po translation, read from
// its bytes. The Windows translation backend reads its catalogs with it, so it lives beside the
// backends and includes no system header; it is the same on every system and tested on each.
//
// The file is input: every count, offset and length is checked against the file's size before it
// is used, so a cut or damaged file is refused whole, never read past its end. Only catalogs in
// UTF-8 are taken (the program's own text is UTF-8).

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

class MessageCatalog;
struct MessageCatalogRead;

// Reads the catalog in bytes (either byte order). An entry with plural forms is found by its
// singular and answers its first form; an entry with a context, an empty translation or one
// that is not UTF-8 is left out (the English text shows instead).
MessageCatalogRead ReadMessageCatalog(std::string_view bytes);

class MessageCatalog {
  public:
    MessageCatalog() = default;
    // Moves keep the texts where they are; a copy would leave its lookup pointing into the
    // original.
    MessageCatalog(MessageCatalog&&) = default;
    MessageCatalog& operator=(MessageCatalog&&) = default;
    MessageCatalog(const MessageCatalog&) = delete;
    MessageCatalog& operator=(const MessageCatalog&) = delete;

    // The translation of english; null when the catalog has none. The text lives as long as the
    // catalog.
    const char* Find(std::string_view english) const;

    std::size_t size() const { return translations_.size(); }

  private:
    friend MessageCatalogRead ReadMessageCatalog(std::string_view bytes);

    // The file's bytes, which the lookup points into: each text stays where it was read, so a
    // hostile file whose entries share one long text takes no more memory than its own size.
    std::vector<char> bytes_;
    std::map<std::string_view, const char*, std::less<>> translations_;
};

struct MessageCatalogRead {
    MessageCatalog catalog;  // empty when the file was refused
    std::string problem;     // why the file was refused; empty when it was read
};

}  // namespace kesto
