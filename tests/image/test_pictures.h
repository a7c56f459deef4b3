#pragma once
// Test pictures written and read back through the platform's image library, so that the tests
// need no picture files of their own.

#include <string>

namespace kesto::testing {

enum class PictureType { Jpeg, Png, Gif };

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Writes a picture whose left half has one colour and whose right half another. A GIF is
// written with a colour palette. The graphics library must be running. False on failure.
bool WriteTestPicture(const std::string& path, PictureType type, int width, int height, Colour left,
                      Colour right);

// The colour of one pixel of a picture file.
Colour ReadPixel(const std::string& path, int x, int y);

// Whether the tests run under Wine, whose graphics library ignores the JPEG quality and lacks
// bicubic interpolation.
bool RunningUnderWine();

}  // namespace kesto::testing
