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

bool failsOptionalPassword(std::string_view text) {
    return failsRule(text, kPasswordRule) && failsRule(text, kEmptyPasswordRule);
}

FieldDemands fieldDemands(JobType type) {
    switch (type) {
        case JobType::Normal:
            return {FieldCheck::Optional, false, FieldCheck::None};
        case JobType::SamplePrint:
            return {FieldCheck::Required, false, FieldCheck::None};
        case JobType::LockedPrint:
            return {FieldCheck::Required, false, FieldCheck::Required};
        case JobType::PausedPrint:
            return {FieldCheck::Required, true, FieldCheck::None};
        case JobType::SavedPrint:
        case JobType::SaveDocumentPrint:
            return {FieldCheck::Required, true, FieldCheck::Optional};
        case JobType::DocumentServer:
            return {FieldCheck::Optional, true, FieldCheck::Optional};
    }
    return {FieldCheck::None, false, FieldCheck::None};
}

}  // namespace varlo::printsettings
