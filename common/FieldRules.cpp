#include "FieldRules.h"

#include <cstring>

namespace varlo::printsettings {

namespace {

bool isAsciiDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

bool isAsciiLetter(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

bool isInClass(unsigned char byte, int classCode) {
    switch (classCode) {
        case kDigitsClass:
            return isAsciiDigit(byte);
        case kAlphanumericClass:
            return isAsciiDigit(byte) || isAsciiLetter(byte);
        default:
            return false;
    }
}

}  // namespace

bool failsFieldRule(std::string_view text, int minimum, int maximum, int classCode) {
    // Compare in a wide type: a negative minimum or maximum must not wrap around.
    const long long length = static_cast<long long>(text.size());
    if (length < minimum || length > maximum) return true;
    for (char c : text) {
        if (!isInClass(static_cast<unsigned char>(c), classCode)) return true;
    }
    return false;
}

bool QualifyPA(const char* text, int minimum, int maximum, int classCode) {
    const std::string_view bytes =
        text ? std::string_view(text, std::strlen(text)) : std::string_view();
    return failsFieldRule(bytes, minimum, maximum, classCode);
}

bool failsRule(std::string_view text, const FieldRule& rule) {
    return failsFieldRule(text, rule.minimum, rule.maximum, rule.classCode);
}

bool failsUserID(std::string_view text, FieldCheck check) {
    switch (check) {
        case FieldCheck::None:
            return false;
        case FieldCheck::Optional:
            return failsRule(text, kUserIDOptionalRule);
        case FieldCheck::Required:
            return failsRule(text, kUserIDRequiredRule);
    }
    return true;
}

bool failsPassword(std::string_view text, FieldCheck check, const FieldRule& passwordRule) {
    switch (check) {
        case FieldCheck::None:
            return false;
        case FieldCheck::Optional:
            return !text.empty() && failsRule(text, passwordRule);
        case FieldCheck::Required:
            return failsRule(text, passwordRule);
    }
    return true;
}

}  // namespace varlo::printsettings
