#pragma once
// The command line's progress for scripts (--json): each message that adds a progress line
// becomes one JSON object on a line of its own, with the line exactly as the text output has it.

#include <string>

#include "job/progress.h"

namespace kesto {

// Where a picture message stands in its area: picture index (from 1) of count; count 0 when the
// area did not say.
struct PicturePosition {
    int index = 0;
    int count = 0;
};

// {"number": N, "line": "...", then as the message has them: "result", "picture" with "index"
// and "count", "address"}, compact, UTF-8 as it is, ending with a line break.
std::string ProgressJsonLine(const ProgressMessage& message, const std::string& line,
                             PicturePosition picture);

}  // namespace kesto
