#pragma once
// Where a browser window without a parent goes when it names no place of its own: centred on
// the desktop's work area, its left and top edges kept inside the area when it is larger.

namespace kesto {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// The window's rectangle moved (not resized) to the centre of the work area.
ScreenRect CentreInWorkArea(const ScreenRect& workArea, const ScreenRect& window);

}  // namespace kesto
