#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "FieldRules.h"

namespace varlo::printsettings {
namespace {

struct RuleCase {
    const char* name;
    std::string text;
    int minimum;
    int maximum;
    int classCode;
    bool fails;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

class QualifyPATest : public testing::TestWithParam<RuleCase> {};

TEST_P(QualifyPATest, AnswersTrueExactlyWhenTheTextFails) {
    const RuleCase& c = GetParam();
    EXPECT_EQ(QualifyPA(c.text.c_str(), c.minimum, c.maximum, c.classCode), c.fails);
    EXPECT_EQ(failsFieldRule(c.text, c.minimum, c.maximum, c.classCode), c.fails);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, QualifyPATest,
    testing::Values(
        RuleCase{"EmptyPassesMinimumZero", "", 0, 8, kAlphanumericClass, false},
        RuleCase{"EmptyFailsMinimumOne", "", 1, 8, kAlphanumericClass, true},
        RuleCase{"EightAlphanumericPass", "Ab3dE5g7", 1, 8, kAlphanumericClass, false},
        RuleCase{"NineAlphanumericFail", "Ab3dE5g7h", 1, 8, kAlphanumericClass, true},
        RuleCase{"AllLetterAndDigitEdges", "AZaz09", 0, 8, kAlphanumericClass, false},
        RuleCase{"UnderscoreFails", "ab_c", 0, 8, kAlphanumericClass, true},
        RuleCase{"SpaceFails", "ab c", 0, 8, kAlphanumericClass, true},
        RuleCase{"BytesNextToLettersFail", "a@", 0, 8, kAlphanumericClass, true},
        RuleCase{"BracketAfterZFails", "Z[", 0, 8, kAlphanumericClass, true},
        RuleCase{"BacktickBeforeLowerAFails", "`a", 0, 8, kAlphanumericClass, true},
        RuleCase{"BraceAfterLowerZFails", "z{", 0, 8, kAlphanumericClass, true},
        RuleCase{"SlashBeforeZeroFails", "/0", 0, 8, kAlphanumericClass, true},
        RuleCase{"ColonAfterNineFails", "9:", 0, 8, kAlphanumericClass, true},
        RuleCase{"AccentedLetterFails", "caf\xC3\xA9", 0, 8, kAlphanumericClass, true},
        // Four characters but eight UTF-8 bytes: counted in bytes, and the bytes fail anyway.
        RuleCase{"NonAsciiCountsBytes", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 0, 6,
                 kAlphanumericClass, true},
        RuleCase{"FourDigitsPassPassword", "1234", 4, 8, kDigitsClass, false},
        RuleCase{"EightDigitsPassPassword", "12345678", 4, 8, kDigitsClass, false},
        RuleCase{"ThreeDigitsFailPassword", "123", 4, 8, kDigitsClass, true},
        RuleCase{"NineDigitsFailPassword", "123456789", 4, 8, kDigitsClass, true},
        RuleCase{"LetterFailsDigitClass", "12a4", 4, 8, kDigitsClass, true},
        RuleCase{"MinusFailsDigitClass", "-123", 4, 8, kDigitsClass, true},
        RuleCase{"ArabicIndicDigitFails", "\xD9\xA1\xD9\xA2", 0, 8, kDigitsClass, true},
        RuleCase{"SixteenPassFileName", "abcdefghijklmnop", 0, 16, kAlphanumericClass, false},
        RuleCase{"SeventeenFailFileName", "abcdefghijklmnopq", 0, 16, kAlphanumericClass, true},
        RuleCase{"UnknownClassRefusesEveryByte", "1a", 0, 8, 1, true},
        RuleCase{"UnknownClassStillPassesEmpty", "", 0, 8, 1, false}),
    [](const testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.name); });

TEST(QualifyPA, NullTextCountsAsEmpty) {
    EXPECT_FALSE(QualifyPA(nullptr, 0, 8, kDigitsClass));
    EXPECT_TRUE(QualifyPA(nullptr, 1, 8, kDigitsClass));
}

TEST(FieldRule, EmbeddedNulIsABadByteNotTheEnd) {
    const std::string text{'1', '2', '3', '4', '\0', '5'};
    EXPECT_TRUE(failsRule(text, kPasswordRule));
}

struct OptionalPasswordCase {
    const char* text;
    bool fails;
};

void PrintTo(const OptionalPasswordCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class OptionalPasswordTest : public testing::TestWithParam<OptionalPasswordCase> {};

TEST_P(OptionalPasswordTest, FourToEightDigitsOrEmpty) {
    EXPECT_EQ(failsPassword(GetParam().text, FieldCheck::Optional), GetParam().fails)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Passwords, OptionalPasswordTest,
    testing::Values(OptionalPasswordCase{"", false}, OptionalPasswordCase{"1", true},
                    OptionalPasswordCase{"123", true}, OptionalPasswordCase{"1234", false},
                    OptionalPasswordCase{"12345678", false},
                    OptionalPasswordCase{"123456789", true}, OptionalPasswordCase{"12a4", true},
                    OptionalPasswordCase{" ", true}));

}  // namespace
}  // namespace varlo::printsettings
