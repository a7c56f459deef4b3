#include "cli/terminal_progress.h"

#include <algorithm>

#include "platform/text_output.h"
#include "platform/translation.h"
#include "support/fill_in.h"
#include "support/printable_text.h"
#include "support/utf16.h"

namespace kesto {

namespace {

bool EndsArea(const ProgressMessage& message) {
    return (message.stage == 1 &&
            (message.kind == kShopSignProgress || message.kind == kMainPageProgress ||
             message.kind == kCategoriesProgress)) ||
           message.kind == kNoShopSignPicture;
}

bool IsReason(const ProgressMessage& message) {
    return message.kind == kFailureReason || message.kind == kTemplateProblem;
}

}  // namespace

// The most of a progress line the bar shows, cut between characters.
constexpr std::size_t kBarLabelBytes = 60;

TerminalProgress::TerminalProgress(std::FILE* lines, std::FILE* bar, int areas, std::FILE* reasons,
                                   LineFormat format)
    : lines_(lines), bar_(bar), reasons_(reasons), format_(format), areas_(areas) {}

void TerminalProgress::Post(ProgressMessage message) {
    Count(message);
    const auto line = ProgressLine(message);
    if (line) {
        if (bar_ != nullptr) {
            WriteText(bar_, "\r\033[K");  // clear the bar before the line goes out
            std::fflush(bar_);
        }
        WriteLine(message, *line);
        if (!IsReason(message)) {
            // The bar names the step at work in a few words; a reason goes out whole above it.
            lastLine_ = std::string(CutUtf8(*line, kBarLabelBytes));
        }
    }
    if (!finished_ &&
        (line || message.kind == kPictureProgress || message.kind == kShopSignBytes)) {
        DrawBar();
    }
}

void TerminalProgress::EndBar() {
    if (bar_ != nullptr) {
        WriteText(bar_, "\r\033[K");
        std::fflush(bar_);
    }
}

void TerminalProgress::Count(const ProgressMessage& message) {
    if (EndsArea(message)) {
        ++areasDone_;
        partsDone_ = partCount_ = 0;
    }
    if (message.kind == kPictureProgress || message.kind == kShopSignBytes) {
        partsDone_ = message.stage;
        partCount_ = message.result;
        countsKiB_ = message.kind == kShopSignBytes;
    }
    if (message.kind == kTemplateRejected) {
        rejected_ = true;
    }
    if (message.kind == kDecorationFinished) {
        finished_ = true;
    }
}

void TerminalProgress::WriteLine(const ProgressMessage& message, const std::string& line) {
    if (format_ == LineFormat::kJson) {
        // A picture's start and done lines both name the one after those done (its count comes
        // after its done line), so both carry the same index, counting from 1.
        const bool namesPicture =
            message.kind == kPictureUploadStarting || message.kind == kPictureUploaded;
        const int index = namesPicture ? partsDone_ + 1 : partsDone_;
        WriteText(lines_, ProgressJsonLine(message, line, {index, partCount_}));
    } else {
        // Lines name the template's files, whose control characters must not reach the terminal.
        WriteText(IsReason(message) ? reasons_ : lines_, PrintableText(line) + "\n");
        if (message.kind == kDecorationFinished) {
            WriteText(lines_, PrintableText(message.text) + "\n");
        }
    }
    std::fflush(lines_);
}

void TerminalProgress::DrawBar() {
    if (bar_ == nullptr) {
        return;
    }
    constexpr int kWidth = 20;
    const int total = std::max(areas_, 1);
    const int done = finished_ ? total : std::min(areasDone_, total);
    // The area at work fills its share as its pictures, or its shop sign's chunks, go.
    const bool counting = !finished_ && partCount_ > 0 && done < total;
    const double share = counting ? static_cast<double>(partsDone_) / partCount_ : 0.0;
    const int filled = std::min(kWidth, static_cast<int>((done + share) * kWidth / total));
    std::string parts;
    if (counting && countsKiB_) {
        parts = " " + FillIn(Translate("{} of {} KiB"),
                             {std::to_string(partsDone_), std::to_string(partCount_)});
    } else if (counting) {
        parts = " " + FillIn(Translate("picture {}/{}"),
                             {std::to_string(std::min(partsDone_ + 1, partCount_)),
                              std::to_string(partCount_)});
    }
    WriteText(bar_, "\r\033[K[" + std::string(static_cast<std::size_t>(filled), '#') +
                        std::string(static_cast<std::size_t>(kWidth - filled), '-') + "] " +
                        std::to_string(done) + "/" + std::to_string(total) + parts + " " +
                        lastLine_);
    std::fflush(bar_);
}

}  // namespace kesto
