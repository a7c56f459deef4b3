#include "browser/window_placement.h"

#include <algorithm>

namespace kesto {

namespace {

// One axis: centred, then kept inside [low, high] with the leading edge winning.
int CentredStart(int low, int high, int size) {
    int start = std::max(low, low + ((high - low) - size) / 2);
    if (start + size > high) {
        start = high - size;
    }
    return std::max(start, low);
}

}  // namespace

ScreenRect CentreInWorkArea(const ScreenRect& workArea, const ScreenRect& window) {
    const int left = CentredStart(workArea.left, workArea.right, window.Width());
    const int top = CentredStart(workArea.top, workArea.bottom, window.Height());
    return {left, top, left + window.Width(), top + window.Height()};
}

}  // namespace kesto
