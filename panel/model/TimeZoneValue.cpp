#include "TimeZoneValue.h"

#include <algorithm>
#include <cstdlib>

namespace kordavine::joblog {

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isPlainName(std::string_view name) {
    return name.size() >= 3 && std::all_of(name.begin(), name.end(), isAsciiLetter);
}

bool isBracketableName(std::string_view name) {
    return name.size() >= 3 && std::all_of(name.begin(), name.end(), [](char c) {
               return isAsciiLetter(c) || isAsciiDigit(c) || c == '+' || c == '-';
           });
}

// Every text here is built by appending only: GCC 12's -Wrestrict misfires on the prepending
// `"x" + std::string` once it is inlined at -O2 and above.
void appendTwoDigits(std::string& text, long value) {
    if (value < 10) text += '0';
    text += std::to_string(value);
}

// tzdata's style for zones without a letter abbreviation: "+04", "-03", "+0530", "+054530".
std::string numericName(long offsetEastSeconds) {
    const long magnitude = std::labs(offsetEastSeconds);
    std::string name = offsetEastSeconds < 0 ? "-" : "+";
    appendTwoDigits(name, magnitude / 3600);
    const long minutes = magnitude % 3600 / 60;
    const long seconds = magnitude % 60;
    if (minutes != 0 || seconds != 0) appendTwoDigits(name, minutes);
    if (seconds != 0) appendTwoDigits(name, seconds);
    return name;
}

std::string zoneName(std::string_view abbreviation, long offsetEastSeconds) {
    if (isPlainName(abbreviation)) return std::string(abbreviation);
    std::string name = "<";
    name += isBracketableName(abbreviation) ? std::string(abbreviation)
                                            : numericName(offsetEastSeconds);
    name += '>';
    return name;
}

// POSIX counts the offset positive west of UTC.
std::string offsetWest(long offsetEastSeconds) {
    const long west = -offsetEastSeconds;
    const long magnitude = std::labs(west);
    std::string text = west < 0 ? "-" : "";
    text += std::to_string(magnitude / 3600);
    const long minutes = magnitude % 3600 / 60;
    const long seconds = magnitude % 60;
    if (minutes != 0 || seconds != 0) {
        text += ':';
        appendTwoDigits(text, minutes);
    }
    if (seconds != 0) {
        text += ':';
        appendTwoDigits(text, seconds);
    }
    return text;
}

SaveClock saveClock = nullptr;

}  // namespace

void setSaveClock(SaveClock clock) {
    saveClock = clock;
}

std::time_t saveClockNow() {
    return saveClock ? saveClock() : std::time(nullptr);
}

std::string formatTimeZoneValue(std::string_view abbreviation, long offsetEastSeconds) {
    std::string value = zoneName(abbreviation, offsetEastSeconds);
    value += offsetWest(offsetEastSeconds);
    return value;
}

std::optional<std::string> timeZoneValueAt(std::time_t instant) {
    // localtime_r need not look at TZ again; take up its current value first.
    tzset();
    std::tm local{};
    if (!localtime_r(&instant, &local)) return std::nullopt;
    const std::string_view abbreviation =
        local.tm_zone ? std::string_view(local.tm_zone) : std::string_view();
    return formatTimeZoneValue(abbreviation, local.tm_gmtoff);
}

}  // namespace kordavine::joblog
