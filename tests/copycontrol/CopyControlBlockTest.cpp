#include <gtest/gtest.h>

#include <array>
#include <string>

#include "CopyControl.h"
#include "FilterStatus.h"
#include "FixedClock.h"
#include "JobClock.h"
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
using testing::requiredMarkingKeys;
using testing::withOptions;
using testing::withoutOption;
using testsupport::PrintTo;

enum class Kind { Guard, Pattern };

struct BlockResult {
    int result;
    std::string block;
    FilterStatus status;
};

BlockResult buildBlock(Kind kind, const OptionList& options, std::string_view L = "\n") {
    resetFilterStatus();
    applyTimeZone("UTC");
    setClockSource(fixedClock);
    const std::string text = optionsString(
        withOptions(options, {{keys::kCCPCopyControlType,
                               kind == Kind::Guard ? "Copy Guard" : "Prevention Copy Pattern"}}));
    const JobOptions parsed(text.c_str());
    std::array<char, kCopyControlAreaSize> storage{};
    BoundedText area(storage);
    const int result = buildMarkingBlock(parsed, readCopyControlSettings(parsed), area, L);
    setClockSource(nullptr);
    return {result, std::string(area.view()), filterStatus()};
}

TEST(CopyControlBlockTest, CopyGuardWithOnlyTheRequiredKeys) {
    const BlockResult r = buildBlock(Kind::Guard, requiredMarkingKeys());
    ASSERT_EQ(r.result, 0);
    EXPECT_EQ(r.block, testing::kGuardBlockWithRequiredKeys);
    EXPECT_EQ(r.status, FilterStatus::None);
}

TEST(CopyControlBlockTest, PatternWithOnlyTheRequiredKeysInCrLf) {
    const BlockResult r = buildBlock(Kind::Pattern, requiredMarkingKeys(), "\r\n");
    ASSERT_EQ(r.result, 0);
    EXPECT_EQ(r.block,
              "\r\n"
              "mark {\r\n"
              "<< /MarkingType 2\r\n"
              "/MarkingColor 0\r\n"
              "/MarkingDensity 3\r\n"
              "/MaskPattern 0\r\n"
              "/StringEffect 0\r\n"
              "/StringAttributes <<\r\n"
              "/FontName (Helvetica)\r\n"
              "/FontSize 24\r\n"
              "/String ()\r\n"
              "/StringPosition 3\r\n"
              "/StringAngle 45\r\n"
              ">>\r\n"
              "/ZDeviceProcSet /ProcSet findresource /SetMarkingType get exec\r\n"
              "} stopped cleartomark\r\n"
              "\r\n");
}

TEST(CopyControlBlockTest, PatternWithEverySettingRepeatAndRotateInCr) {
    const OptionList options =
        requiredMarkingKeys({{keys::kCCPColor, "Magenta"},
                             {keys::kCCPDensity, "Dark"},
                             {keys::kCCPMaskType, "Higaki"},
                             {keys::kCCPEffect, "Background Only"},
                             {keys::kCCPFont, "Times-Roman"},
                             {keys::kCCPSize, "10.5"},
                             {keys::kCCPTextType, "Login User Name + PrintJob Time"},
                             {keys::kCCPUserName, "alice"},
                             {keys::kCCPPosition, "Bottom Right"},
                             {keys::kCCPAngle, "-30"},
                             {keys::kCCPLineSpace, "2.5"},
                             {keys::kCCPRepeat, "Repeat and Rotate carriage return"}});
    const BlockResult r = buildBlock(Kind::Pattern, options, "\r");
    ASSERT_EQ(r.result, 0);
    EXPECT_EQ(r.block,
              "\r"
              "mark {\r"
              "<< /MarkingType 2\r"
              "/MarkingColor 2\r"
              "/MarkingDensity 4\r"
              "/MaskPattern 9\r"
              "/StringEffect 3\r"
              "/StringAttributes <<\r"
              "/FontName (Times-Roman)\r"
              "/FontSize 10.5\r"
              "/String (alice + 2026/03/02 09:05)\r"
              "/StringPosition 6\r"
              "/StringAngle -30\r"
              "/StringLoopAttributes <<\r"
              "/StringLoopInterval 2.5\r"
              "/StringLoopToggle true\r"
              ">>\r"
              ">>\r"
              "/ZDeviceProcSet /ProcSet findresource /SetMarkingType get exec\r"
              "} stopped cleartomark\r"
              "\r");
}

// A line of the block, or the lines between two of them, by case.
struct LinesCase {
    const char* name;
    Kind kind;
    OptionList extra;
    std::string expectedBetweenAngleAndClose;  // what follows "/StringAngle 45\n" up to the call
    std::string expectedLine;                  // a further line the block must hold, or empty
};

class BlockLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(BlockLinesTest, WritesTheAskedLines) {
    const LinesCase& c = GetParam();
    const BlockResult r = buildBlock(c.kind, requiredMarkingKeys(c.extra));
    ASSERT_EQ(r.result, 0);
    const std::string from = "/StringAngle 45\n";
    const std::string to = "/ZDeviceProcSet";
    const auto start = r.block.find(from);
    const auto end = r.block.find(to);
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(r.block.substr(start + from.size(), end - start - from.size()),
              c.expectedBetweenAngleAndClose);
    if (!c.expectedLine.empty()) {
        EXPECT_NE(r.block.find("\n" + c.expectedLine + "\n"), std::string::npos) << r.block;
    }
}

const std::string kLoopFalse =
    "/StringLoopAttributes <<\n/StringLoopInterval 10\n/StringLoopToggle false\n>>\n>>\n";
const std::string kLoopTrue =
    "/StringLoopAttributes <<\n/StringLoopInterval 10\n/StringLoopToggle true\n>>\n>>\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, BlockLinesTest,
    ::testing::Values(
        LinesCase{"GuardRepeatOff", Kind::Guard, OptionList{{keys::kCCPRepeat, "Off"}}, ">>\n", ""},
        LinesCase{"GuardRepeat", Kind::Guard, OptionList{{keys::kCCPRepeat, "Repeat"}}, kLoopFalse,
                  ""},
        LinesCase{"PatternRepeatAndRotate", Kind::Pattern,
                  OptionList{{keys::kCCPRepeat, "Repeat and Rotate carriage return"}}, kLoopTrue,
                  ""},
        LinesCase{"RepeatInOtherCaseIsOff", Kind::Pattern, OptionList{{keys::kCCPRepeat, "REPEAT"}},
                  ">>\n", ""},
        LinesCase{"GuardBackgroundOnly", Kind::Guard,
                  OptionList{{keys::kCCPEffect, "Background Only"}}, ">>\n", "/StringEffect 1"},
        LinesCase{"PatternBackgroundOnly", Kind::Pattern,
                  OptionList{{keys::kCCPEffect, "Background Only"}}, ">>\n", "/StringEffect 3"},
        LinesCase{"GuardIgnoresPatternKeys", Kind::Guard,
                  OptionList{{keys::kCCPColor, "Cyan"}, {keys::kCCPMaskType, "Mesh"}}, ">>\n",
                  "<< /MarkingType 1"},
        LinesCase{"EscapedFontName", Kind::Guard, OptionList{{keys::kCCPFont, "My(Font)\\"}},
                  ">>\n", "/FontName (My\\(Font\\)\\\\)"},
        LinesCase{"EscapedCustomText", Kind::Guard, OptionList{{keys::kCCPCustomText, "Q3 (draft"}},
                  ">>\n", "/String (Q3 \\(draft)"},
        LinesCase{"EscapedJobName", Kind::Pattern,
                  OptionList{{keys::kCCPTextType, "PrintJob Name"},
                             {keys::kCCPJobName, "C:\\reports\\new"}},
                  ">>\n", "/String (C:\\\\reports\\\\new)"},
        LinesCase{"NonAsciiUnchanged", Kind::Guard,
                  OptionList{{keys::kCCPTextType, "Login User Name"},
                             {keys::kCCPUserName, "M\xc3\xbcller"}},
                  ">>\n", "/String (M\xc3\xbcller)"},
        // The budget counts the text's own bytes: 64 parentheses, each escaped.
        LinesCase{"BudgetBeforeEscaping", Kind::Guard,
                  OptionList{{keys::kCCPTextType, "Login User Name"},
                             {keys::kCCPUserName, std::string(70, ')')}},
                  ">>\n", "/String (" + repeated("\\)", 64) + ")"},
        // Not written without the loop attributes, so not checked as a token.
        LinesCase{"LineSpaceUnwrittenIsNotChecked", Kind::Guard,
                  OptionList{{keys::kCCPLineSpace, "1 2"}}, ">>\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Blocks that must fail: nothing in the area, the status as recorded.
struct FailureCase {
    const char* name;
    Kind kind;
    OptionList options;
    FilterStatus status;
};

class BlockFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(BlockFailureTest, FailsWithNothingWritten) {
    const FailureCase& c = GetParam();
    const BlockResult r = buildBlock(c.kind, c.options);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.block, "");
    EXPECT_EQ(r.status, c.status);
}

const OptionList kExceededBudget = {{keys::kCCPTextType, "PrintJob Name"},
                                    {keys::kCCPJobName, std::string(300, 'j')}};

std::vector<FailureCase> failureCases() {
    std::vector<FailureCase> cases;
    for (Kind kind : {Kind::Guard, Kind::Pattern}) {
        const bool guard = kind == Kind::Guard;
        for (const char* key :
             {keys::kCCPFont, keys::kCCPSize, keys::kCCPAngle, keys::kCCPLineSpace}) {
            cases.push_back({guard ? "GuardMissingKey" : "PatternMissingKey", kind,
                             withoutOption(requiredMarkingKeys(), key),
                             FilterStatus::RequiredMissing});
        }
        cases.push_back({"MissingLineSpaceWithRepeat", kind,
                         withoutOption(requiredMarkingKeys({{keys::kCCPRepeat, "Repeat"}}),
                                       keys::kCCPLineSpace),
                         FilterStatus::RequiredMissing});
        for (const char* bad :
             {"", "12 /Courier findfont", "1)", "(", "12\n", "1%", "<1>", "{2}", "[3]", "1\t"}) {
            cases.push_back({"UnsafeSize", kind, requiredMarkingKeys({{keys::kCCPSize, bad}}),
                             FilterStatus::SpliceFailed});
            cases.push_back({"UnsafeAngle", kind, requiredMarkingKeys({{keys::kCCPAngle, bad}}),
                             FilterStatus::SpliceFailed});
            cases.push_back(
                {"UnsafeLineSpace", kind,
                 requiredMarkingKeys({{keys::kCCPLineSpace, bad}, {keys::kCCPRepeat, "Repeat"}}),
                 FilterStatus::SpliceFailed});
        }
    }
    // The reading order shows in the status: the font is read before the text is composed
    // (its budget would record 1), the angle after.
    cases.push_back({"FontReadBeforeTheText", Kind::Guard,
                     withoutOption(requiredMarkingKeys(kExceededBudget), keys::kCCPFont),
                     FilterStatus::RequiredMissing});
    cases.push_back({"AngleReadAfterTheText", Kind::Guard,
                     withoutOption(requiredMarkingKeys(kExceededBudget), keys::kCCPAngle),
                     FilterStatus::SpliceFailed});
    cases.push_back({"JobNameOverItsLimit", Kind::Pattern,
                     requiredMarkingKeys({{keys::kCCPTextType, "PrintJob Name"},
                                          {keys::kCCPJobName, std::string(4096, 'j')}}),
                     FilterStatus::SpliceFailed});
    cases.push_back({"CustomTextOverItsBuffer", Kind::Guard,
                     requiredMarkingKeys({{keys::kCCPCustomText, std::string(1024, 'c')}}),
                     FilterStatus::SpliceFailed});
    cases.push_back({"EscapedFontOverTheArea", Kind::Guard,
                     requiredMarkingKeys({{keys::kCCPFont, std::string(500, '(')}}),
                     FilterStatus::SpliceFailed});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, BlockFailureTest, ::testing::ValuesIn(failureCases()),
                         [](const auto& info) {
                             return std::string(info.param.name) + "_" + std::to_string(info.index);
                         });

TEST(CopyControlBlockTest, ExceededBudgetStillWritesTheBlock) {
    const BlockResult r = buildBlock(Kind::Guard, requiredMarkingKeys(kExceededBudget));
    EXPECT_EQ(r.result, 0);
    EXPECT_NE(r.block.find("\n/String ()\n"), std::string::npos);
    EXPECT_EQ(r.status, FilterStatus::SpliceFailed);
}

// The area holds 1023 bytes: a block of exactly that length is written, one byte more fails.
TEST(CopyControlBlockTest, BlockFillsTheAreaExactly) {
    const BlockResult small = buildBlock(Kind::Pattern, requiredMarkingKeys());
    ASSERT_EQ(small.result, 0);
    const std::size_t room = kCopyControlAreaSize - 1 - small.block.size();
    const std::string font = "Helvetica" + std::string(room, 'x');
    const BlockResult full =
        buildBlock(Kind::Pattern, requiredMarkingKeys({{keys::kCCPFont, font}}));
    EXPECT_EQ(full.result, 0);
    EXPECT_EQ(full.block.size(), kCopyControlAreaSize - 1);
    const BlockResult over =
        buildBlock(Kind::Pattern, requiredMarkingKeys({{keys::kCCPFont, font + "x"}}));
    EXPECT_EQ(over.result, 1);
    EXPECT_EQ(over.block, "");
    EXPECT_EQ(over.status, FilterStatus::SpliceFailed);
}

}  // namespace
}  // namespace jobtypefilter
