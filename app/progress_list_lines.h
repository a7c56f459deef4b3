#pragma once
// The progress list shows each line whole: a line wider than the list (a failure's reason, as a
// rule) is cut into several, at blanks where it can be, each further piece indented, so that no
// line runs past the list's right edge on either front end.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// The width of the progress list in columns of the dialog's font: a Chinese character takes two.
inline constexpr std::size_t kProgressListColumns = 96;

// The pieces the line is shown as, each at most columns wide (a Chinese character counts two
// columns, any other character one); the line itself when it fits.
std::vector<std::string> ProgressListLines(std::string_view line,
                                           std::size_t columns = kProgressListColumns);

}  // namespace kesto
