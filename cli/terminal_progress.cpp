#include "cli/terminal_progress.h"

namespace kesto {

namespace {

bool EndsArea(const ProgressMessage& message) {
    return message.stage == 1 &&
           (message.number == kShopSignProgress || message.number == kMainPageProgress ||
            message.number == kCategoriesProgress);
}

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* lines, std::FILE* bar, int areas, std::FILE* reasons)
    : lines_(lines), bar_(bar), reasons_(reasons), areas_(areas) {}

void TerminalProgress::Post(ProgressMessage message) {
    if (EndsArea(message) || message.number == kNoShopSignPicture) {
        ++areasDone_;
    }
    const auto line = ProgressLine(message);
    if (line) {
        if (bar_ != nullptr) {
            std::fputs("\r\033[K", bar_);  // clear the bar before the line goes out
            std::fflush(bar_);
        }
        const bool reason = message.number == kFailureReason || message.number == kTemplateProblem;
        std::fprintf(reason ? reasons_ : lines_, "%s\n", line->c_str());
    }
    if (message.number == kTemplateRejected) {
        rejected_ = true;
    }
    if (message.number == kDecorationFinished) {
        finished_ = true;
        std::fprintf(lines_, "%s\n", message.text.c_str());
    }
    std::fflush(lines_);
    if (line) {
        DrawBar(*line);
    }
}

void TerminalProgress::DrawBar(const std::string& line) {
    if (bar_ == nullptr) {
        return;
    }
    constexpr int kWidth = 20;
    const int total = areas_ > 0 ? areas_ : 1;
    const int done = finished_ ? total : (areasDone_ < total ? areasDone_ : total);
    const int filled = done * kWidth / total;
    std::fprintf(bar_, "\r[%s%s] %d/%d %s",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '-').c_str(), done, total,
                 line.c_str());
    if (finished_) {
        std::fputs("\n", bar_);
    }
    std::fflush(bar_);
}

}  // namespace kesto
