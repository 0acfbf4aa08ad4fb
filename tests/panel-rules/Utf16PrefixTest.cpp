// Lengths and leading parts of UTF-8 text counted in UTF-16 units, as the entry fields cap them.
#include <gtest/gtest.h>

#include <string>

#include "Utf16Prefix.h"

namespace kordavine::joblog {
namespace {

struct Utf16Case {
    const char* label;
    std::string text;
    std::size_t length;
    std::size_t units;
    std::string prefix;
};

const Utf16Case kUtf16Cases[] = {
    {"Ascii", "abcdef", 6, 4, "abcd"},
    {"Empty", "", 0, 3, ""},
    {"TwoByteLetters", "\xC3\xA4\xC3\xB6\xC3\xBC", 3, 2, "\xC3\xA4\xC3\xB6"},
    {"ThreeByteInBmp", "\xE2\x82\xAC\xE2\x82\xAC", 2, 1, "\xE2\x82\xAC"},
    {"SurrogatePairWhole", "a\xF0\x9F\x98\x80", 3, 3, "a\xF0\x9F\x98\x80"},
    {"SurrogatePairNotSplit", "a\xF0\x9F\x98\x80", 3, 2, "a"},
    {"CapBeyondTheText", "ab", 2, 10, "ab"},
    {"LoneContinuationBytesCountOneEach", "\200\200a", 3, 2, "\x80\x80"},
    {"TruncatedSequenceAtTheEnd", "ab\xF0\x9F", 4, 3, "ab"},
};

class Utf16Counting : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16Counting, LengthAndPrefix) {
    const auto& c = GetParam();
    EXPECT_EQ(utf16Length(c.text), c.length);
    EXPECT_EQ(utf16Prefix(c.text, c.units), c.prefix);
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf16Counting, ::testing::ValuesIn(kUtf16Cases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace kordavine::joblog
