#include "ZoneSetting.h"

#include <sys/stat.h>

#include <cstdlib>

namespace jobtypefilter {

namespace {

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A small reader over the rule: each take* consumes what it accepts and answers whether it did.
class RuleReader {
  public:
    explicit RuleReader(std::string_view text) : text_(text) {}

    bool atEnd() const { return at_ == text_.size(); }
    bool take(char c) {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    // A number of 1 to maxDigits digits, from minimum to maximum.
    bool takeNumber(std::size_t maxDigits, long maximum, long minimum = 0) {
        std::size_t n = 0;
        long value = 0;
        while (at_ + n < text_.size() && isDigit(text_[at_ + n]) && n < maxDigits) {
            value = value * 10 + (text_[at_ + n] - '0');
            ++n;
        }
        if (n == 0 || value > maximum || value < minimum) return false;
        if (at_ + n < text_.size() && isDigit(text_[at_ + n])) return false;
        at_ += n;
        return true;
    }

    bool takeName() {
        std::size_t n = 0;
        if (take('<')) {
            while (at_ + n < text_.size() && (isLetter(text_[at_ + n]) || isDigit(text_[at_ + n]) ||
                                              text_[at_ + n] == '+' || text_[at_ + n] == '-')) {
                ++n;
            }
            at_ += n;
            return n >= 3 && take('>');
        }
        while (at_ + n < text_.size() && isLetter(text_[at_ + n])) ++n;
        at_ += n;
        return n >= 3;
    }

    // [+-]h[h...][:mm[:ss]]
    bool takeTime(std::size_t hourDigits, long maxHours) {
        if (!take('+')) take('-');
        if (!takeNumber(hourDigits, maxHours)) return false;
        if (take(':')) {
            if (!takeNumber(2, 59)) return false;
            if (take(':') && !takeNumber(2, 59)) return false;
        }
        return true;
    }

    // Jn (1 to 365), n (0 to 365) or Mm.w.d, then an optional /time.
    bool takeDate() {
        if (take('J')) {
            if (!takeNumber(3, 365, 1)) return false;
        } else if (take('M')) {
            if (!takeNumber(2, 12, 1) || !take('.') || !takeNumber(1, 5, 1) || !take('.') ||
                !takeNumber(1, 6)) {
                return false;
            }
        } else if (!takeNumber(3, 365)) {
            return false;
        }
        return !take('/') || takeTime(3, 167);
    }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

constexpr std::size_t kLongestZoneValue = 255;

}  // namespace

bool isPosixZoneRule(std::string_view value) {
    if (value.size() > kLongestZoneValue) return false;
    RuleReader rule(value);
    if (!rule.takeName() || !rule.takeTime(2, 24)) return false;
    if (rule.atEnd()) return true;
    if (!rule.takeName()) return false;  // the daylight-saving time's name
    if (rule.atEnd()) return true;
    if (!rule.take(',')) {  // its offset, then the end or the change dates
        if (!rule.takeTime(2, 24)) return false;
        if (rule.atEnd()) return true;
        if (!rule.take(',')) return false;
    }
    return rule.takeDate() && rule.take(',') && rule.takeDate() && rule.atEnd();
}

bool namesZoneFile(std::string_view value, const std::string& directory) {
    if (value.empty() || value.size() > kLongestZoneValue || value.front() == '/') return false;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find('/', start);
        if (end == std::string_view::npos) end = value.size();
        const std::string_view component = value.substr(start, end - start);
        if (component.empty() || component == "." || component == "..") return false;
        for (char c : component) {
            if (!isLetter(c) && !isDigit(c) && c != '.' && c != '_' && c != '+' && c != '-') {
                return false;
            }
        }
        start = end + 1;
    }
    const std::string path = directory + "/" + std::string(value);
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string zoneDirectory() {
    const char* tzdir = std::getenv("TZDIR");
    if (tzdir != nullptr && tzdir[0] == '/') return tzdir;
    return "/usr/share/zoneinfo";
}

bool isSafeTimeZone(std::string_view value) {
    return isPosixZoneRule(value) || namesZoneFile(value, zoneDirectory());
}

}  // namespace jobtypefilter
