#include "app/progress_list_lines.h"

#include <algorithm>

namespace kesto {

namespace {

constexpr std::string_view kIndent = "  ";

// The byte length of the UTF-8 character starting with lead (1 for a stray byte).
std::size_t CharacterBytes(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    return lead >= 0xC0 ? 2 : 1;
}

// Columns the character at text[at] takes: two for the wide East Asian ranges (a three- or
// four-byte character from U+1100 on, Hangul, CJK, full-width forms), else one.
std::size_t CharacterColumns(std::string_view text, std::size_t at, std::size_t bytes) {
    if (bytes == 4) {
        return 2;
    }
    if (bytes != 3) {
        return 1;
    }
    const auto lead = static_cast<unsigned char>(text[at]);
    const auto next = static_cast<unsigned char>(text[at + 1]);
    // U+1100 to U+115F (Hangul leads), U+2E80 and above but not U+D800 and up, save U+F900 on.
    const unsigned codePoint = ((lead & 0x0Fu) << 12) | ((next & 0x3Fu) << 6);
    return (codePoint >= 0x1100 && codePoint < 0x1160) ||
                   (codePoint >= 0x2E80 && codePoint < 0xD800) || codePoint >= 0xF900
               ? 2
               : 1;
}

// The columns the UTF-8 text takes.
std::size_t Columns(std::string_view text) {
    std::size_t columns = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t bytes =
            std::min(CharacterBytes(static_cast<unsigned char>(text[at])), text.size() - at);
        columns += CharacterColumns(text, at, bytes);
        at += bytes;
    }
    return columns;
}

}  // namespace

std::vector<std::string> ProgressListLines(std::string_view line, std::size_t columns) {
    std::vector<std::string> pieces;
    std::string piece;
    std::size_t lastBlank = std::string::npos;  // in piece: where a break may go
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t bytes =
            std::min(CharacterBytes(static_cast<unsigned char>(line[at])), line.size() - at);
        const std::string_view character = line.substr(at, bytes);
        if (Columns(piece) + Columns(character) > columns && piece.size() > kIndent.size()) {
            // Break at this blank, or at the last one after the piece's start, else right here.
            if (character == " ") {
                lastBlank = piece.size();
                piece.append(character);
            }
            const std::size_t start = pieces.empty() ? 0 : kIndent.size();
            const bool atBlank = lastBlank != std::string::npos && lastBlank > start;
            std::string rest = atBlank ? piece.substr(lastBlank + 1) : std::string();
            piece.resize(atBlank ? lastBlank : piece.size());
            pieces.push_back(std::move(piece));
            piece = std::string(kIndent) + rest;
            lastBlank = std::string::npos;
            if (character == " ") {
                at += bytes;
                continue;
            }
        }
        if (character == " ") {
            lastBlank = piece.size();
        }
        piece.append(character);
        at += bytes;
    }
    pieces.push_back(std::move(piece));
    return pieces;
}

}  // namespace kesto
