#include "browser/window_placement.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(CentreInWorkAreaTest, CentresAndKeepsTheLeadingEdgesInside) {
    const ScreenRect work{0, 0, 1000, 800};
    const struct {
        ScreenRect window;
        ScreenRect placed;
    } cases[] = {
        {{10, 10, 410, 310}, {300, 250, 700, 550}},
        {{0, 0, 1000, 800}, {0, 0, 1000, 800}},
        {{50, 60, 1250, 960}, {0, 0, 1200, 900}},      // larger: left and top stay inside
        {{-20, -20, 381, 281}, {299, 249, 700, 550}},  // odd free width rounds towards the left
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CentreInWorkArea(work, c.window), c.placed);
    }
    // A work area that does not start at the origin (a task bar on the left or top).
    EXPECT_EQ(CentreInWorkArea({100, 40, 1100, 840}, {0, 0, 400, 300}),
              (ScreenRect{400, 290, 800, 590}));
}

}  // namespace
}  // namespace kesto
