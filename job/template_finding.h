#pragma once
// One thing the template check finds in a template: what, in which file, how grave, and its
// stable code for scripts.

#include <string>

namespace kesto {

enum class FindingSeverity { kError, kWarning, kNote };

struct TemplateFinding {
    FindingSeverity severity = FindingSeverity::kError;
    std::string file;  // relative to the template folder ("main/a.jpg"); empty for the template
    std::string text;  // what was found, in words a template's author can act on, in the
                       // user's language
    // The finding's kind, for scripts: a short stable name that is never translated
    // ("template-missing", "not-a-picture", ...; docs/json.md lists them).
    std::string code = {};

    // Two findings are alike when they say the same of the same file; the code follows from that.
    bool operator==(const TemplateFinding& other) const {
        return severity == other.severity && file == other.file && text == other.text;
    }
};

}  // namespace kesto
