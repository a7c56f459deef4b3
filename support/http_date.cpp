#include "support/http_date.h"

#include <array>
#include <charconv>
#include <string>
#include <vector>

#include "support/ascii_text.h"

namespace kesto {

namespace {

constexpr std::array<std::string_view, 12> kMonths{"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<unsigned> MonthOf(std::string_view name) {
    const std::string lower = AsciiLower(name);
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (lower == kMonths[i]) {
            return static_cast<unsigned>(i + 1);
        }
    }
    return std::nullopt;
}

// "hh:mm:ss" as a time of day.
std::optional<std::chrono::seconds> TimeOfDay(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') {
        return std::nullopt;
    }
    const auto hours = Number(text.substr(0, 2));
    const auto minutes = Number(text.substr(3, 2));
    const auto seconds = Number(text.substr(6, 2));
    if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 60) {
        return std::nullopt;
    }
    return std::chrono::hours(*hours) + std::chrono::minutes(*minutes) +
           std::chrono::seconds(*seconds);
}

// The text cut at blanks, commas and dashes, without empty pieces.
std::vector<std::string_view> Pieces(std::string_view text) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at == text.size() || text[at] == ' ' || text[at] == ',' || text[at] == '-' ||
            text[at] == '\t') {
            if (at > start) {
                pieces.push_back(text.substr(start, at - start));
            }
            start = at + 1;
        }
    }
    return pieces;
}

}  // namespace

std::optional<std::chrono::system_clock::time_point> ParseHttpDate(std::string_view text) {
    std::vector<std::string_view> pieces = Pieces(TrimmedAscii(text));
    // The weekday says nothing the date does not.
    if (!pieces.empty() && !Number(pieces.front()) && !MonthOf(pieces.front())) {
        pieces.erase(pieces.begin());
    }
    if (pieces.size() != 4 && pieces.size() != 5) {
        return std::nullopt;
    }
    std::optional<int> day;
    std::optional<unsigned> month;
    std::optional<int> year;
    std::optional<std::chrono::seconds> time;
    if (MonthOf(pieces[0])) {
        // "Nov 6 08:49:37 1994"
        month = MonthOf(pieces[0]);
        day = Number(pieces[1]);
        time = TimeOfDay(pieces[2]);
        year = Number(pieces[3]);
    } else {
        // "06 Nov 1994 08:49:37 GMT"
        day = Number(pieces[0]);
        month = MonthOf(pieces[1]);
        year = Number(pieces[2]);
        time = TimeOfDay(pieces[3]);
    }
    if (pieces.size() == 5 && AsciiLower(pieces[4]) != "gmt" && AsciiLower(pieces[4]) != "utc") {
        return std::nullopt;
    }
    if (!day || !month || !year || !time) {
        return std::nullopt;
    }
    if (*year < 100) {
        *year += *year < 70 ? 2000 : 1900;  // two-digit years of the oldest spelling
    }
    const std::chrono::year_month_day date{std::chrono::year(*year), std::chrono::month(*month),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    if (!date.ok()) {
        return std::nullopt;
    }
    return std::chrono::sys_days(date) + *time;
}

}  // namespace kesto
