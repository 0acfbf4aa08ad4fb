#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "CopyControlValues.h"
#include "PostScriptNumber.h"
#include "PrintSettingsKeys.h"
#include "TestOptions.h"

namespace jobtypefilter {
namespace {

namespace keys = varlo::printsettings;
using testing::OptionList;
using testing::optionsString;

// A value of the option, or none (the key absent), and the number it must stand for.
struct Row {
    std::optional<std::string> value;
    int expected;
};

// The number a setting stands for (an enumeration by its place).
using Number = int (*)(const CopyControlSettings&);

struct Table {
    const char* name;
    const char* key;
    Number number;
    std::vector<Row> rows;
    // The copy-control type set beside the value: the effect's number depends on it.
    const char* type = nullptr;
};

const Number kType = [](const CopyControlSettings& s) { return static_cast<int>(s.type); };
const Number kColor = [](const CopyControlSettings& s) { return s.color; };
const Number kDensity = [](const CopyControlSettings& s) { return s.density; };
const Number kMask = [](const CopyControlSettings& s) { return s.mask; };
const Number kEffect = [](const CopyControlSettings& s) { return s.effect; };
const Number kPosition = [](const CopyControlSettings& s) { return s.position; };
const Number kRepeat = [](const CopyControlSettings& s) { return static_cast<int>(s.repeat); };
const Number kText = [](const CopyControlSettings& s) { return static_cast<int>(s.textType); };

// Every value is matched exactly: another letter case or spacing, like an absent key, gives the
// default.
TEST(ValueTableTest, MapsEachValueToItsNumber) {
    using R = Row;
    using Rows = std::vector<Row>;
    const Table tables[] = {
        {"copyControlType", keys::kCCPCopyControlType, kType,
         Rows{R{"Off", 0}, R{"Copy Guard", 1}, R{"Prevention Copy Pattern", 2}, R{std::nullopt, 0},
              R{"copy guard", 0}, R{"Prevention copy pattern", 0}, R{"", 0}}},
        {"color", keys::kCCPColor, kColor,
         Rows{R{"Black", 0}, R{"Cyan", 1}, R{"Magenta", 2}, R{std::nullopt, 0}, R{"cyan", 0},
              R{"MAGENTA", 0}}},
        {"density", keys::kCCPDensity, kDensity,
         Rows{R{"Very Light", 1}, R{"Light", 2}, R{"Middle", 3}, R{"Dark", 4}, R{"Very Dark", 5},
              R{std::nullopt, 3}, R{"very dark", 3}, R{"Light ", 3}}},
        {"mask", keys::kCCPMaskType, kMask,
         Rows{R{"None", 0}, R{"Wave Crest", 1}, R{"Mesh", 2}, R{"Lattice1", 3}, R{"Lattice2", 4},
              R{"Interlocking Circles", 5}, R{"Shokkoh", 6}, R{"Matsukawabishi", 7}, R{"Scale", 8},
              R{"Higaki", 9}, R{"Hexagonal", 10}, R{std::nullopt, 0}, R{"hexagonal", 0},
              R{"Lattice3", 0}}},
        {"guardEffect", keys::kCCPEffect, kEffect,
         Rows{R{"Off", 0}, R{"Background Only", 1}, R{"Reverse Patterns", 2}, R{"Text Only", 4},
              R{std::nullopt, 0}, R{"text only", 0}},
         "Copy Guard"},
        {"patternEffect", keys::kCCPEffect, kEffect,
         Rows{R{"Off", 0}, R{"Background Only", 3}, R{"Reverse Patterns", 2}, R{"Text Only", 4},
              R{std::nullopt, 0}, R{"Background only", 0}},
         "Prevention Copy Pattern"},
        {"position", keys::kCCPPosition, kPosition,
         Rows{R{"Top Left", 0}, R{"Center Top", 1}, R{"Top Right", 2}, R{"Center", 3},
              R{"Bottom Left", 4}, R{"Center Bottom", 5}, R{"Bottom Right", 6}, R{std::nullopt, 3},
              R{"top left", 3}, R{"Bottom right", 3}}},
        {"repeat", keys::kCCPRepeat, kRepeat,
         Rows{R{"Off", 0}, R{"Repeat", 1}, R{"Repeat and Rotate carriage return", 2},
              R{std::nullopt, 0}, R{"repeat", 0}, R{"Repeat and rotate carriage return", 0}}},
        {"textType", keys::kCCPTextType, kText,
         Rows{R{"User Defined", 0}, R{"Login User Name", 1}, R{"PrintJob Name", 2},
              R{"PrintJob Time", 3}, R{"Login User Name + PrintJob Name", 4},
              R{"Login User Name + PrintJob Time", 5}, R{"PrintJob Name + PrintJob Time", 6},
              R{"Login User Name + PrintJob Name + PrintJob Time", 7}, R{std::nullopt, 0},
              R{"Printjob Name", 0}, R{"Login User Name+PrintJob Name", 0}}},
    };
    for (const Table& t : tables) {
        for (const Row& r : t.rows) {
            OptionList options{{keys::kCCPFont, "x"}};
            if (r.value) options.emplace_back(t.key, *r.value);
            if (t.type) options.emplace_back(keys::kCCPCopyControlType, t.type);
            const std::string text = optionsString(options);
            EXPECT_EQ(t.number(readCopyControlSettings(JobOptions(text.c_str()))), r.expected)
                << t.name << " for " << (r.value ? "\"" + *r.value + "\"" : "absent");
        }
    }
}

struct TokenCase {
    std::string value;
    bool safe;
};

void PrintTo(const TokenCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.value);
}

class BareTokenTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(BareTokenTest, TakesOnlyOneNumberToken) {
    EXPECT_EQ(isPostScriptNumber(GetParam().value), GetParam().safe)
        << "[" << GetParam().value << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Values, BareTokenTest,
    ::testing::Values(TokenCase{"12", true}, TokenCase{"-45", true}, TokenCase{"10.5", true},
                      TokenCase{"1e3", true}, TokenCase{"16#1F", true}, TokenCase{"", false},
                      TokenCase{"1 2", false}, TokenCase{"1\t", false}, TokenCase{"\r1", false},
                      TokenCase{"1\n", false}, TokenCase{"1\f", false},
                      TokenCase{std::string("1\0", 2), false}, TokenCase{"(1", false},
                      TokenCase{"1)", false}, TokenCase{"<1", false}, TokenCase{"1>", false},
                      TokenCase{"[1", false}, TokenCase{"1]", false}, TokenCase{"{1", false},
                      TokenCase{"1}", false}, TokenCase{"/1", false}, TokenCase{"1%", false},
                      // Numbers in every PostScript form pass; executable names do not.
                      TokenCase{"+3", true}, TokenCase{".5", true}, TokenCase{"5.", true},
                      TokenCase{"-2.5E-1", true}, TokenCase{"2#1010", true},
                      TokenCase{"36#Zz", true}, TokenCase{"quit", false},
                      TokenCase{"showpage", false}, TokenCase{"1e", false}, TokenCase{".", false},
                      TokenCase{"-", false}, TokenCase{"16#", false}, TokenCase{"16#G", false},
                      TokenCase{"37#1", false}, TokenCase{"1#1", false}, TokenCase{"-16#1F", false},
                      TokenCase{"12pt", false},
                      // Numbers an interpreter cannot hold (the Ghostscript tests show which).
                      TokenCase{"1e39", false}, TokenCase{"1e-39", false},
                      TokenCase{"16#80000000", false},
                      TokenCase{"2#" + std::string(64, '1'), false},
                      TokenCase{"1." + std::string(63, '0'), false}));

}  // namespace
}  // namespace jobtypefilter
