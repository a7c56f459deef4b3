#include "job/progress_numbers.h"

#include <gtest/gtest.h>

#include <set>

namespace kesto {
namespace {

// The numbers are what scripts read from the JSON output and what the Windows dialog's window
// procedure receives: each kind keeps its own, and no two share one.
TEST(ProgressNumbersTest, EachKindKeepsItsOwnNumber) {
    const struct {
        ProgressKind kind;
        int number;
    } cases[] = {
        {kPictureUploaded, 2024},    {kPictureUploadStarting, 2026},
        {kCustomContentSave, 2028},  {kMainPageProgress, 2030},
        {kShopSignProgress, 2032},   {kNoShopSignPicture, 2036},
        {kDecorationFinished, 2038}, {kTransactionPassword, 2040},
        {kFailureReason, 2042},      {kTemplateProblem, 2044},
        {kTemplateRejected, 2046},   {kPictureProgress, 2048},
        {kShopSignBytes, 2050},      {kShopBusy, 2052},
        {kShopNotHeld, 2054},        {kAreasNotStarted, 2056},
        {kCategoriesProgress, 2124}, {kRateLimitWait, 2058},
    };
    ASSERT_EQ(std::size(cases), kProgressNumbers.size());
    std::set<int> numbers;
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressNumber(c.kind), c.number) << c.number;
        EXPECT_GE(c.number, kFirstProgressNumber) << c.number;
        EXPECT_LE(c.number, kLastProgressNumber) << c.number;
        numbers.insert(c.number);
    }
    EXPECT_EQ(numbers.size(), std::size(cases));
}

TEST(ProgressNumbersTest, AKindOutsideTheTableHasNoNumber) {
    EXPECT_EQ(ProgressNumber(static_cast<ProgressKind>(1234)), 0);
}

}  // namespace
}  // namespace kesto
