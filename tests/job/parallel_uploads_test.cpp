#include "job/parallel_uploads.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(ParallelUploadsTest, TheSettingFileGivesACountOrOneWithItsProblem) {
    const struct {
        const char* text;
        int parallel;
        const char* problem;  // a part of it; empty: none
    } cases[] = {
        {"", 1, ""},
        {"parallel=4\n", 4, ""},
        {"# uploads at once\r\n\r\n  parallel = 8 \r\n", 8, ""},
        {"parallel=1", 1, ""},
        {"parallel=9\n", 1, "from 1 to 8 (line 1)"},
        {"parallel=0\n", 1, "from 1 to 8"},
        {"parallel=\n", 1, "from 1 to 8"},
        {"parallel=4x\n", 1, "from 1 to 8"},
        {"parallel=99999999999999999999\n", 1, "from 1 to 8"},
        {"parallel=4\nparallel=-1\n", 1, "(line 2)"},
        {"paralel=4\n", 1, "line 1 is not parallel=N"},
        {"parallel 4\n", 1, "line 1 is not parallel=N"},
        {"\nparallel=3\nspeed=fast\n", 3, "line 3 is not parallel=N"},
    };
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_EQ(ParallelUploadsSetting(c.text, problem), c.parallel) << c.text;
        if (*c.problem == '\0') {
            EXPECT_EQ(problem, "") << c.text;
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << c.text << ": " << problem;
        }
    }
}

}  // namespace
}  // namespace kesto
