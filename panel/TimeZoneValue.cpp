#include "TimeZoneValue.h"

#include <algorithm>
#include <cstdlib>

namespace kordavine::joblog {

namespace {

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool isPlainName(std::string_view name) {
    return name.size() >= 3 && std::all_of(name.begin(), name.end(), isAsciiLetter);
}

bool isBracketableName(std::string_view name) {
    return name.size() >= 3 && std::all_of(name.begin(), name.end(), [](char c) {
               return isAsciiLetter(c) || isAsciiDigit(c) || c == '+' || c == '-';
           });
}

std::string twoDigits(long value) {
    std::string digits = std::to_string(value);
    return digits.size() < 2 ? "0" + digits : digits;
}

// tzdata's style for zones without a letter abbreviation: "+04", "-03", "+0530", "+054530".
std::string numericName(long offsetEastSeconds) {
    const long magnitude = std::labs(offsetEastSeconds);
    std::string name = offsetEastSeconds < 0 ? "-" : "+";
    name += twoDigits(magnitude / 3600);
    const long minutes = magnitude % 3600 / 60;
    const long seconds = magnitude % 60;
    if (minutes != 0 || seconds != 0) name += twoDigits(minutes);
    if (seconds != 0) name += twoDigits(seconds);
    return name;
}

std::string zoneName(std::string_view abbreviation, long offsetEastSeconds) {
    if (isPlainName(abbreviation)) return std::string(abbreviation);
    if (isBracketableName(abbreviation)) return "<" + std::string(abbreviation) + ">";
    return "<" + numericName(offsetEastSeconds) + ">";
}

// POSIX counts the offset positive west of UTC.
std::string offsetWest(long offsetEastSeconds) {
    const long west = -offsetEastSeconds;
    const long magnitude = std::labs(west);
    std::string text = west < 0 ? "-" : "";
    text += std::to_string(magnitude / 3600);
    const long minutes = magnitude % 3600 / 60;
    const long seconds = magnitude % 60;
    if (minutes != 0 || seconds != 0) text += ":" + twoDigits(minutes);
    if (seconds != 0) text += ":" + twoDigits(seconds);
    return text;
}

SaveClock saveClock = nullptr;

}  // namespace

void setSaveClock(SaveClock clock) { saveClock = clock; }

std::time_t saveClockNow() { return saveClock ? saveClock() : std::time(nullptr); }

std::string formatTimeZoneValue(std::string_view abbreviation, long offsetEastSeconds) {
    return zoneName(abbreviation, offsetEastSeconds) + offsetWest(offsetEastSeconds);
}

std::optional<std::string> timeZoneValueAt(std::time_t instant) {
    // localtime_r need not look at TZ again; take up its current value first.
    tzset();
    std::tm local{};
    if (!localtime_r(&instant, &local)) return std::nullopt;
    const std::string_view abbreviation = local.tm_zone ? std::string_view(local.tm_zone) : std::string_view();
    return formatTimeZoneValue(abbreviation, local.tm_gmtoff);
}

}  // namespace kordavine::joblog
