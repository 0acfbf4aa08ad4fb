// The shapes a user ID, password, file name and user code must have, and how a job type checks
// them (which job type checks which: JobTypes.h). The Job Log panel checks its entries with these
// rules before it saves them; the filter checks the values that reach it through the print
// dialogs' PPD options with the same rules. Lengths are counted in UTF-8 bytes; every byte must
// belong to the rule's class.
#pragma once

#include <string_view>

namespace varlo::printsettings {

// Character class codes of a field rule.
inline constexpr int kDigitsClass = 0;        // "0" to "9"
inline constexpr int kAlphanumericClass = 3;  // "A" to "Z", "a" to "z", "0" to "9"

// Answers true when the text FAILS the rule (byte length outside [minimum, maximum], or a byte
// outside the class), false when it passes. Every caller treats true as a refusal. A null text
// counts as empty. A class code other than 0 and 3 admits no byte at all.
bool QualifyPA(const char* text, int minimum, int maximum, int classCode);

// The same test over a text that may hold any bytes, embedded NULs included (a NUL byte is in
// neither class, so it fails instead of cutting the text short).
bool failsFieldRule(std::string_view text, int minimum, int maximum, int classCode);

struct FieldRule {
    int minimum;
    int maximum;
    int classCode;
};

inline constexpr FieldRule kUserIDOptionalRule{0, 8, kAlphanumericClass};
inline constexpr FieldRule kUserIDRequiredRule{1, 8, kAlphanumericClass};
inline constexpr FieldRule kFileNameRule{0, 16, kAlphanumericClass};
inline constexpr FieldRule kPasswordRule{4, 8, kDigitsClass};
inline constexpr FieldRule kUserCodeRule{0, 8, kDigitsClass};

bool failsRule(std::string_view text, const FieldRule& rule);

// How a job type checks a field: not at all, allowing it empty, or demanding it.
enum class FieldCheck { None, Optional, Required };

// What a job type demands of the user ID, the file name (checked or not) and the password.
struct FieldDemands {
    FieldCheck userID;
    bool fileName;
    FieldCheck password;
};

// The user ID as a job type checks it: 0 to 8 letters and digits where optional, 1 to 8 where
// required; anything where it is not checked.
bool failsUserID(std::string_view text, FieldCheck check);

// The password as a job type checks it against passwordRule (4 to 8 digits in the panel, the
// model's length in the filter): where optional it may also be empty.
bool failsPassword(std::string_view text, FieldCheck check,
                   const FieldRule& passwordRule = kPasswordRule);

}  // namespace varlo::printsettings
