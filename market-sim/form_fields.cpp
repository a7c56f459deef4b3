#include "market-sim/form_fields.h"

#include "market-sim/text_pieces.h"

namespace kesto::sim {

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c != '%') {
            decoded += c;
        } else {
            if (i + 2 >= text.size()) {
                return std::nullopt;
            }
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return decoded;
}

std::optional<std::vector<FormField>> ParseFormFields(std::string_view text) {
    std::vector<FormField> fields;
    if (text.empty()) {
        return fields;
    }
    std::size_t start = 0;
    while (true) {
        const auto end = text.find('&', start);
        const std::string_view piece = text.substr(start, end - start);
        const auto equals = piece.find('=');
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        auto name = PercentDecode(piece.substr(0, equals));
        auto value = PercentDecode(piece.substr(equals + 1));
        if (!name || !value) {
            return std::nullopt;
        }
        fields.emplace_back(std::move(*name), std::move(*value));
        if (end == std::string_view::npos) {
            return fields;
        }
        start = end + 1;
    }
}

std::vector<std::string> FieldNames(const std::vector<FormField>& fields) {
    std::vector<std::string> names;
    names.reserve(fields.size());
    for (const auto& field : fields) {
        names.push_back(field.first);
    }
    return names;
}

std::optional<std::string> FindField(const std::vector<FormField>& fields, std::string_view name) {
    for (const auto& field : fields) {
        if (field.first == name) {
            return field.second;
        }
    }
    return std::nullopt;
}

}  // namespace kesto::sim
