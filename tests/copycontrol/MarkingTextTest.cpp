#include <gtest/gtest.h>

#include <array>
#include <string>

#include "FilterStatus.h"
#include "FixedClock.h"
#include "JobClock.h"
#include "MarkingText.h"
#include "NamedCases.h"
#include "PrintSettingsKeys.h"
#include "TestOptions.h"

namespace jobtypefilter {
namespace {

namespace keys = varlo::printsettings;
using testing::fixedClock;
using testing::OptionList;
using testing::optionsString;
using testing::repeated;
using testsupport::PrintTo;

class MarkingTextFixture {
  protected:
    MarkingTextFixture() {
        resetFilterStatus();
        applyTimeZone("UTC");
        setClockSource(fixedClock);
    }
    ~MarkingTextFixture() { setClockSource(nullptr); }
};

std::string repeated(char c, std::size_t n) {
    return std::string(n, c);
}

// appendCharsLimited and appendJobNameTokens on their own: the count they return and what
// they append.
struct AppendCase {
    const char* name;
    bool jobName;  // appendJobNameTokens, else appendCharsLimited
    std::string source;
    int countIn;
    int countOut;
    std::string appended;
};

class BudgetedAppendTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(BudgetedAppendTest, CountsAndAppends) {
    const AppendCase& c = GetParam();
    std::array<char, kMarkingTextSize> storage{};
    BoundedText text(storage);
    const int count = c.jobName ? appendJobNameTokens(c.source, text, c.countIn)
                                : appendCharsLimited(c.source, text, c.countIn);
    EXPECT_EQ(count, c.countOut);
    EXPECT_EQ(text.view(), c.appended);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BudgetedAppendTest,
    ::testing::Values(
        AppendCase{"CharsCountOneEach", false, "abc", 0, 3, "abc"},
        AppendCase{"CharsStopAt64", false, repeated('u', 70), 0, 64, repeated('u', 64)},
        AppendCase{"CharsCutNearTheEnd", false, "abc", 62, 64, "ab"},
        AppendCase{"CharsNothingAt64", false, "abc", 64, 64, ""},
        AppendCase{"CharsEmptySource", false, "", 10, 10, ""},
        AppendCase{"CharsAfterExceeded", false, "abc", -1, -1, ""},
        AppendCase{"FieldsShorterThanFourCountNothing", true, "a,abc", 0, 0, "aabc"},
        AppendCase{"FieldOfFourCountsOne", true, "abcd", 0, 1, "abcd"},
        AppendCase{"FieldOf256FillsTheBudget", true, repeated('j', 256), 0, 64, repeated('j', 256)},
        AppendCase{"FieldOf260Exceeds", true, repeated('j', 260), 0, -1, ""},
        AppendCase{"NothingAt64", true, "abcd", 64, 64, ""},
        AppendCase{"FieldThatFitsExactly", true, "abcd", 63, 64, "abcd"},
        AppendCase{"FieldOneOver", true, "abcdefgh", 63, -1, ""},
        AppendCase{"LaterFieldsDroppedAfterExceeding", true, "abcd," + repeated('j', 260) + ",efgh",
                   0, -1, "abcd"},
        AppendCase{"EmptyFieldsSkipped", true, ",,ab,,cd,", 5, 5, "abcd"},
        AppendCase{"OnlyCommas", true, ",,,", 7, 7, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// composeMarkingText over the text types.
struct ComposeCase {
    const char* name;
    OptionList options;
    std::string text;
    int status;  // filter status afterwards
    bool composed = true;
};

class ComposeMarkingTextTest : public MarkingTextFixture,
                               public ::testing::TestWithParam<ComposeCase> {};

TEST_P(ComposeMarkingTextTest, ComposesTheTextTypesWithinTheBudget) {
    const ComposeCase& c = GetParam();
    const std::string options = optionsString(c.options);
    const JobOptions parsed(options.c_str());
    std::array<char, kMarkingTextSize> storage{};
    BoundedText text(storage);
    EXPECT_EQ(composeMarkingText(parsed, readCopyControlSettings(parsed).textType, text),
              c.composed);
    if (c.composed) {
        EXPECT_EQ(text.view(), c.text);
    }
    EXPECT_EQ(static_cast<int>(filterStatus()), c.status);
}

const std::string kUser62 = repeated('u', 62);
const std::string kUser70 = repeated('v', 70);
const std::string kField260 = repeated('j', 260);
const std::string kType = keys::kCCPTextType;
const std::string kUser = keys::kCCPUserName;
const std::string kJob = keys::kCCPJobName;
const std::string kCustom = keys::kCCPCustomText;

// A job name of 16-byte fields: each counts 4, so 16 of them use the whole budget.
std::string sixteenByteFields(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        if (i > 0) out += ',';
        out += repeated(static_cast<char>('a' + i % 26), 16);
    }
    return out;
}

std::string fieldsWithoutCommas(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += repeated(static_cast<char>('a' + i % 26), 16);
    return out;
}

std::vector<ComposeCase> composeCases() {
    return {
        ComposeCase{"UserDefinedWithoutText", OptionList{{kType, "User Defined"}}, "", 0},
        ComposeCase{"AbsentTypeIsUserDefined", OptionList{{kCustom, "Internal"}}, "Internal", 0},
        ComposeCase{"CustomTextIsWholeAndUnbudgeted",
                    OptionList{{kCustom, repeated('c', 500) + " (x) \\"}},
                    repeated('c', 500) + " (x) \\", 0},
        ComposeCase{"CustomTextFillingTheBuffer", OptionList{{kCustom, repeated('c', 1023)}},
                    repeated('c', 1023), 0},
        ComposeCase{"CustomTextOverTheBufferIsRefused", OptionList{{kCustom, repeated('c', 1024)}},
                    "", 0, false},
        ComposeCase{"UserNameOf70KeepsItsFirst64",
                    OptionList{{kType, "Login User Name"}, {kUser, kUser70}}, repeated('v', 64), 0},
        ComposeCase{"UserNameAbsentIsEmpty", OptionList{{kType, "Login User Name"}}, "", 0},
        ComposeCase{
            "UserName62CutsTheSeparator",
            OptionList{
                {kType, "Login User Name + PrintJob Name"}, {kUser, kUser62}, {kJob, "Quarterly"}},
            kUser62 + " +", 0},
        ComposeCase{"JobNameOfOneByteFields", OptionList{{kType, "PrintJob Name"}, {kJob, "a,b,c"}},
                    "abc", 0},
        ComposeCase{"JobNameLeadingTrailingDoubledCommas",
                    OptionList{{kType, "PrintJob Name"}, {kJob, ",Q3,,report,"}}, "Q3report", 0},
        ComposeCase{"JobNameOf256",
                    OptionList{{kType, "PrintJob Name"}, {kJob, repeated('j', 256)}},
                    repeated('j', 256), 0},
        ComposeCase{"JobNameOf260ExceedsAndGoesOn",
                    OptionList{{kType, "PrintJob Name"}, {kJob, kField260}}, "", 1},
        ComposeCase{"SixteenFieldsUseTheWholeBudget",
                    OptionList{{kType, "PrintJob Name"}, {kJob, sixteenByteFields(16)}},
                    fieldsWithoutCommas(16), 0},
        ComposeCase{"SeventeenthFieldExceeds",
                    OptionList{{kType, "PrintJob Name"}, {kJob, sixteenByteFields(17)}},
                    fieldsWithoutCommas(16), 1},
        ComposeCase{"PrintTime", OptionList{{kType, "PrintJob Time"}}, "2026/03/02 09:05", 0},
        ComposeCase{"UserAndTime",
                    OptionList{{kType, "Login User Name + PrintJob Time"}, {kUser, "alice"}},
                    "alice + 2026/03/02 09:05", 0},
        ComposeCase{
            "TimeCutByTheBudget",
            OptionList{{kType, "Login User Name + PrintJob Time"}, {kUser, repeated('u', 50)}},
            repeated('u', 50) + " + 2026/03/02 ", 0},
        ComposeCase{
            "UserOf64DropsSeparatorAndTime",
            OptionList{{kType, "Login User Name + PrintJob Time"}, {kUser, repeated('u', 64)}},
            repeated('u', 64), 0},
        ComposeCase{
            "JobNameFieldsCountingTwoThenTime",
            OptionList{{kType, "PrintJob Name + PrintJob Time"}, {kJob, "abcdefgh,ijklmnop"}},
            "abcdefghijklmnop + 2026/03/02 09:05", 0},
        ComposeCase{"AllThree",
                    OptionList{{kType, "Login User Name + PrintJob Name + PrintJob Time"},
                               {kUser, "alice"},
                               {kJob, "Q3 (draft"}},
                    "alice + Q3 (draft + 2026/03/02 09:05", 0},
        ComposeCase{"AllThreeStopAfterTheFieldsThatFitted",
                    OptionList{{kType, "Login User Name + PrintJob Name + PrintJob Time"},
                               {kUser, "alice"},
                               {kJob, "ok," + kField260 + ",late"}},
                    "alice + ok", 1},
        ComposeCase{"AllThreeNoFieldFitted",
                    OptionList{{kType, "Login User Name + PrintJob Name + PrintJob Time"},
                               {kUser, "alice"},
                               {kJob, kField260}},
                    "alice + ", 1},
        ComposeCase{"JobNameOfTheLongestLength",
                    OptionList{{kType, "PrintJob Name"}, {kJob, repeated(',', 4092) + "abc"}},
                    "abc", 0},
        ComposeCase{"JobNameOverTheLongestLengthIsRefused",
                    OptionList{{kType, "PrintJob Name"}, {kJob, repeated(',', 4093) + "abc"}}, "",
                    0, false},
        ComposeCase{
            "LongJobNameUnreadByTheTextType",
            OptionList{{kType, "Login User Name"}, {kUser, "bob"}, {kJob, repeated('j', 5000)}},
            "bob", 0},
        ComposeCase{"JobNameTextOverTheBufferIsRefused",
                    OptionList{{kType, "PrintJob Name"}, {kJob, repeated("abc,", 400)}}, "", 0,
                    false}};
}

INSTANTIATE_TEST_SUITE_P(TextTypes, ComposeMarkingTextTest, ::testing::ValuesIn(composeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The first status recorded stays: an exceeded budget after an earlier failure keeps that one.
TEST(MarkingTextStatusTest, ExceededBudgetKeepsAnEarlierStatus) {
    resetFilterStatus();
    recordFilterStatus(FilterStatus::RequiredMissing);
    const std::string options =
        optionsString({{kType, "PrintJob Name"}, {kJob, repeated('j', 300)}});
    const JobOptions parsed(options.c_str());
    std::array<char, kMarkingTextSize> storage{};
    BoundedText text(storage);
    EXPECT_TRUE(composeMarkingText(parsed, MarkingTextType::JobName, text));
    EXPECT_EQ(filterStatus(), FilterStatus::RequiredMissing);
}

}  // namespace
}  // namespace jobtypefilter
