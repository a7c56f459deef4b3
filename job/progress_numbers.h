#pragma once
// The numbers of the progress messages where they leave the program: the Windows dialog receives
// each as a window message of this number, and the command line's JSON output shows it as
// "number" (docs/json.md lists them). The job itself posts kinds and never uses these.

#include <array>

#include "job/progress.h"

namespace kesto {

struct ProgressNumberEntry {
    ProgressKind kind;
    int number;
};

inline constexpr std::array<ProgressNumberEntry, 18> kProgressNumbers{{
    {kPictureUploaded, 2024},
    {kPictureUploadStarting, 2026},
    {kCustomContentSave, 2028},
    {kMainPageProgress, 2030},
    {kShopSignProgress, 2032},
    {kNoShopSignPicture, 2036},
    {kDecorationFinished, 2038},
    {kTransactionPassword, 2040},
    {kFailureReason, 2042},
    {kTemplateProblem, 2044},
    {kTemplateRejected, 2046},
    {kPictureProgress, 2048},
    {kShopSignBytes, 2050},
    {kShopBusy, 2052},
    {kShopNotHeld, 2054},
    {kAreasNotStarted, 2056},
    {kCategoriesProgress, 2124},
    {kRateLimitWait, 2058},
}};

// The lowest and the highest number, the range a window procedure takes as progress messages.
inline constexpr int kFirstProgressNumber = 2024;
inline constexpr int kLastProgressNumber = 2124;

// The number of a kind; 0 for a value outside the enumeration.
constexpr int ProgressNumber(ProgressKind kind) {
    for (const ProgressNumberEntry& entry : kProgressNumbers) {
        if (entry.kind == kind) {
            return entry.number;
        }
    }
    return 0;
}

}  // namespace kesto
