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
using testing::optionsString;

// The number one setting stands for (an enumeration by its place), read from the options.
using CodeFunction = int (*)(JobOptions&);

struct ValueCase {
    const char* table;
    CodeFunction function;
    const char* key;
    std::optional<std::string> value;  // nullopt: key absent
    int expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << c.table << " " << (c.value ? "\"" + *c.value + "\"" : std::string("absent"));
}

int copyControlType(JobOptions& o) {
    return static_cast<int>(readCopyControlSettings(o).type);
}
int markingColorCode(JobOptions& o) {
    return readCopyControlSettings(o).color;
}
int markingDensityCode(JobOptions& o) {
    return readCopyControlSettings(o).density;
}
int maskPatternCode(JobOptions& o) {
    return readCopyControlSettings(o).mask;
}
int stringPositionCode(JobOptions& o) {
    return readCopyControlSettings(o).position;
}
int stringRepeatMode(JobOptions& o) {
    return static_cast<int>(readCopyControlSettings(o).repeat);
}
int markingTextType(JobOptions& o) {
    return static_cast<int>(readCopyControlSettings(o).textType);
}
// The effect's number depends on the copy-control type.
int guardEffect(JobOptions& o) {
    o.set(keys::kCCPCopyControlType, "Copy Guard");
    return readCopyControlSettings(o).effect;
}
int patternEffect(JobOptions& o) {
    o.set(keys::kCCPCopyControlType, "Prevention Copy Pattern");
    return readCopyControlSettings(o).effect;
}

std::vector<ValueCase> valueCases() {
    struct Row {
        std::optional<std::string> value;
        int expected;
    };
    struct Table {
        const char* name;
        CodeFunction function;
        const char* key;
        std::vector<Row> rows;
    };
    const std::vector<Table> tables = {
        {"copyControlType",
         copyControlType,
         keys::kCCPCopyControlType,
         {{"Off", 0},
          {"Copy Guard", 1},
          {"Prevention Copy Pattern", 2},
          {std::nullopt, 0},
          {"copy guard", 0},
          {"Prevention copy pattern", 0},
          {"", 0}}},
        {"color",
         markingColorCode,
         keys::kCCPColor,
         {{"Black", 0},
          {"Cyan", 1},
          {"Magenta", 2},
          {std::nullopt, 0},
          {"cyan", 0},
          {"MAGENTA", 0}}},
        {"density",
         markingDensityCode,
         keys::kCCPDensity,
         {{"Very Light", 1},
          {"Light", 2},
          {"Middle", 3},
          {"Dark", 4},
          {"Very Dark", 5},
          {std::nullopt, 3},
          {"very dark", 3},
          {"Light ", 3}}},
        {"mask",
         maskPatternCode,
         keys::kCCPMaskType,
         {{"None", 0},
          {"Wave Crest", 1},
          {"Mesh", 2},
          {"Lattice1", 3},
          {"Lattice2", 4},
          {"Interlocking Circles", 5},
          {"Shokkoh", 6},
          {"Matsukawabishi", 7},
          {"Scale", 8},
          {"Higaki", 9},
          {"Hexagonal", 10},
          {std::nullopt, 0},
          {"hexagonal", 0},
          {"Lattice3", 0}}},
        {"guardEffect",
         guardEffect,
         keys::kCCPEffect,
         {{"Off", 0},
          {"Background Only", 1},
          {"Reverse Patterns", 2},
          {"Text Only", 4},
          {std::nullopt, 0},
          {"text only", 0}}},
        {"patternEffect",
         patternEffect,
         keys::kCCPEffect,
         {{"Off", 0},
          {"Background Only", 3},
          {"Reverse Patterns", 2},
          {"Text Only", 4},
          {std::nullopt, 0},
          {"Background only", 0}}},
        {"position",
         stringPositionCode,
         keys::kCCPPosition,
         {{"Top Left", 0},
          {"Center Top", 1},
          {"Top Right", 2},
          {"Center", 3},
          {"Bottom Left", 4},
          {"Center Bottom", 5},
          {"Bottom Right", 6},
          {std::nullopt, 3},
          {"top left", 3},
          {"Bottom right", 3}}},
        {"repeat",
         stringRepeatMode,
         keys::kCCPRepeat,
         {{"Off", 0},
          {"Repeat", 1},
          {"Repeat and Rotate carriage return", 2},
          {std::nullopt, 0},
          {"repeat", 0},
          {"Repeat and rotate carriage return", 0}}},
        {"textType",
         markingTextType,
         keys::kCCPTextType,
         {{"User Defined", 0},
          {"Login User Name", 1},
          {"PrintJob Name", 2},
          {"PrintJob Time", 3},
          {"Login User Name + PrintJob Name", 4},
          {"Login User Name + PrintJob Time", 5},
          {"PrintJob Name + PrintJob Time", 6},
          {"Login User Name + PrintJob Name + PrintJob Time", 7},
          {std::nullopt, 0},
          {"Printjob Name", 0},
          {"Login User Name+PrintJob Name", 0}}},
    };
    std::vector<ValueCase> cases;
    for (const Table& t : tables) {
        for (const Row& r : t.rows)
            cases.push_back({t.name, t.function, t.key, r.value, r.expected});
    }
    return cases;
}

class ValueTableTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTableTest, MapsTheValueToItsNumber) {
    const ValueCase& c = GetParam();
    const std::string options =
        c.value ? optionsString({{c.key, *c.value}}) : optionsString({{keys::kCCPFont, "x"}});
    JobOptions parsed(options.c_str());
    EXPECT_EQ(c.function(parsed), c.expected)
        << c.table << " for " << (c.value ? "\"" + *c.value + "\"" : std::string("absent"));
}

INSTANTIATE_TEST_SUITE_P(AllTables, ValueTableTest, ::testing::ValuesIn(valueCases()),
                         [](const auto& info) {
                             return std::string(info.param.table) + "_" +
                                    std::to_string(info.index);
                         });

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
