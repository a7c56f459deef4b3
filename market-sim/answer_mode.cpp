#include "market-sim/answer_mode.h"

namespace kesto::sim {

std::optional<AnswerMode> ParseAnswerMode(std::string_view text) {
    if (text == "rich") {
        return AnswerMode::kRich;
    }
    if (text == "documented") {
        return AnswerMode::kDocumented;
    }
    return std::nullopt;
}

std::string_view AnswerModeName(AnswerMode mode) {
    switch (mode) {
        case AnswerMode::kRich:
            return "rich";
        case AnswerMode::kDocumented:
            return "documented";
    }
    return "rich";
}

}  // namespace kesto::sim
