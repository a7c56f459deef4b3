#pragma once
// The main dialog's layout in dialog units, turned into pixels in proportion: one horizontal
// unit is a quarter of the dialog font's average character width, one vertical unit an eighth
// of its height (6 × 13 pixels for the 8-point dialog font at 96 dots per inch).

namespace kesto::gtk {

struct DialogRect {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kCharWidth = 6;
inline constexpr int kCharHeight = 13;

constexpr int DluToPixelsX(int units) {
    return (units * kCharWidth + 2) / 4;
}
constexpr int DluToPixelsY(int units) {
    return (units * kCharHeight + 4) / 8;
}

constexpr DialogRect ToPixels(DialogRect units) {
    return {DluToPixelsX(units.left), DluToPixelsY(units.top), DluToPixelsX(units.width),
            DluToPixelsY(units.height)};
}

// The dialog and its controls (left, top, width, height in dialog units).
inline constexpr DialogRect kDialogSize{0, 0, 440, 263};
inline constexpr DialogRect kUploadButton{283, 30, 52, 22};
inline constexpr DialogRect kExitButton{350, 4, 52, 22};
inline constexpr DialogRect kTemplateLabel{11, 6, 55, 14};
inline constexpr DialogRect kLoginButton{283, 4, 52, 22};
inline constexpr DialogRect kTemplateList{64, 8, 154, 14};  // the closed drop-down list
inline constexpr DialogRect kShopSignBox{65, 37, 43, 10};
inline constexpr DialogRect kMainPageBox{120, 37, 52, 10};
inline constexpr DialogRect kCategoriesBox{183, 37, 52, 10};
inline constexpr DialogRect kPreviewButton{351, 29, 52, 22};
inline constexpr DialogRect kAreaLabel{12, 35, 52, 14};
inline constexpr DialogRect kProgressList{16, 55, 408, 178};
inline constexpr DialogRect kMakerLink{209, 241, 215, 8};

}  // namespace kesto::gtk
