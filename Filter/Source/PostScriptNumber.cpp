#include "PostScriptNumber.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace jobtypefilter {

namespace {

// The interpreters' real numbers are single precision.
constexpr double kLargestReal = 3.4e38;
constexpr double kSmallestReal = 1e-38;
constexpr int kLongestExponent = 2;  // digits, leading zeros not counted
constexpr std::uint64_t kLargestRadixValue = 0x7FFFFFFF;

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// Consumes a run of decimal digits from the front of text; answers how many.
std::size_t takeDigits(std::string_view& text) {
    std::size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
    text.remove_prefix(n);
    return n;
}

// base#digits with a base of 2 to 36 written in one or two decimal digits; none when value is
// no radix number at all.
std::optional<NumberCheck> checkRadixNumber(std::string_view value) {
    const std::size_t hash = value.find('#');
    if (hash == std::string_view::npos || hash == 0 || hash > 2) return std::nullopt;
    std::string_view baseText = value.substr(0, hash);
    if (takeDigits(baseText) != hash) return std::nullopt;
    const int base = std::stoi(std::string(value.substr(0, hash)));
    const std::string_view digits = value.substr(hash + 1);
    if (base < 2 || base > 36 || digits.empty()) return std::nullopt;
    std::uint64_t number = 0;
    bool tooLarge = false;
    for (char c : digits) {
        const int digit = digitValue(c);
        if (digit >= base) return std::nullopt;
        number = number * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (number > kLargestRadixValue) {
            tooLarge = true;
            number = kLargestRadixValue;  // keeps the product from wrapping
        }
    }
    return tooLarge ? NumberCheck::OutOfRange : NumberCheck::Number;
}

}  // namespace

NumberCheck checkPostScriptNumber(std::string_view value) {
    if (const auto radix = checkRadixNumber(value)) {
        return value.size() > kLongestNumberToken ? NumberCheck::OutOfRange : *radix;
    }
    std::string_view rest = value;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) rest.remove_prefix(1);
    const std::size_t whole = takeDigits(rest);
    std::size_t fraction = 0;
    if (!rest.empty() && rest.front() == '.') {
        rest.remove_prefix(1);
        fraction = takeDigits(rest);
    }
    if (whole == 0 && fraction == 0) return NumberCheck::NotANumber;
    std::size_t exponentDigits = 0;
    if (!rest.empty() && (rest.front() == 'e' || rest.front() == 'E')) {
        rest.remove_prefix(1);
        if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) rest.remove_prefix(1);
        while (!rest.empty() && rest.front() == '0' && rest.size() > 1 && rest[1] >= '0' &&
               rest[1] <= '9') {
            rest.remove_prefix(1);
        }
        exponentDigits = takeDigits(rest);
        if (exponentDigits == 0) return NumberCheck::NotANumber;
    }
    if (!rest.empty()) return NumberCheck::NotANumber;

    if (value.size() > kLongestNumberToken || exponentDigits > kLongestExponent) {
        return NumberCheck::OutOfRange;
    }
    // The token is a number in C's syntax too, and short: strtod reads all of it.
    const double number = std::fabs(std::strtod(std::string(value).c_str(), nullptr));
    if (number != 0.0 && (number < kSmallestReal || number > kLargestReal)) {
        return NumberCheck::OutOfRange;
    }
    return NumberCheck::Number;
}

}  // namespace jobtypefilter
