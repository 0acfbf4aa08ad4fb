// Which TimeZone values may become TZ: POSIX rules, and names of regular files in the zone
// directory; never a path, a FIFO or a device.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ZoneSetting.h"

namespace jobtypefilter::testing {
namespace {

struct RuleCase {
    std::string value;
    bool rule;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.value);
}

class PosixRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(PosixRuleTest, AcceptsOnlyTheRuleGrammar) {
    EXPECT_EQ(isPosixZoneRule(GetParam().value), GetParam().rule);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PosixRuleTest,
    ::testing::Values(
        // What the panel writes, and rules with daylight-saving dates.
        RuleCase{"JST-9", true}, RuleCase{"IST-5:30", true}, RuleCase{"<+04>-4", true},
        RuleCase{"<+0530>-5:30", true}, RuleCase{"NST3:30", true}, RuleCase{"UTC0", true},
        RuleCase{"EST+5", true}, RuleCase{"AAA24", true}, RuleCase{"AAA-1:02:03", true},
        RuleCase{"EST5EDT", true}, RuleCase{"CET-1CEST,M3.5.0,M10.5.0/3", true},
        RuleCase{"EST5EDT4,M3.2.0/2,M11.1.0/2:30", true},
        RuleCase{"NZST-12NZDT,M9.5.0,M4.1.0/3", true}, RuleCase{"XXX3YYY,J60/-1,300/167", true},
        // Paths, names and broken rules.
        RuleCase{"/dev/stdin", false}, RuleCase{"/tmp/fifo", false},
        RuleCase{"Europe/Berlin", false}, RuleCase{":UTC", false}, RuleCase{"", false},
        RuleCase{"JST", false}, RuleCase{"JS-9", false}, RuleCase{"JST-25", false},
        RuleCase{"JST-9:60", false}, RuleCase{"JST-100", false}, RuleCase{"JST-9 ", false},
        RuleCase{"<AB>5", false}, RuleCase{"<A/BC>5", false},
        RuleCase{"UTC0/../../../../dev/stdin", false},
        RuleCase{"EST5EDT,M3.2.0/../../x,M11.1.0", false}, RuleCase{"EST5EDT,M3.2.0", false},
        RuleCase{"EST5EDT,M13.1.0,M11.1.0", false}, RuleCase{"EST5EDT,M3.6.0,M11.1.0", false},
        RuleCase{"EST5EDT,M3.2.7,M11.1.0", false}, RuleCase{"EST5EDT,J0,J365", false},
        RuleCase{"EST5EDT,M3.2.0/168,M11.1.0", false},
        RuleCase{std::string(300, 'A') + "5", false}));

// A zone directory of its own, with a file of every kind a name could lead to.
class ZoneFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/jobtypefilter-zones-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::filesystem::create_directories(dir_ / "Area");
        std::ofstream(dir_ / "Area" / "Town") << "TZif";
        ASSERT_EQ(mkfifo((dir_ / "Fifo").c_str(), 0600), 0);
        std::filesystem::create_directory_symlink(dir_ / "Area", dir_ / "Link");
        std::filesystem::create_symlink("/dev/null", dir_ / "Device");
        std::filesystem::create_symlink(dir_ / "Area" / "Town", dir_ / "Alias");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
};

TEST_F(ZoneFileTest, OnlyNamesOfRegularFilesInTheDirectory) {
    const struct {
        std::string name;
        bool accepted;
    } cases[] = {
        {"Area/Town", true},
        {"Alias", true},
        {"Link/Town", true},
        {"Fifo", false},
        {"Device", false},
        {"Area", false},
        {"Missing", false},
        {"./Area/Town", false},
        {"Area/../Area/Town", false},
        {"Area//Town", false},
        {"Area/Town/", false},
        {"/Area/Town", false},
        {"Area/To wn", false},
        {"", false},
        {"../" + dir_.filename().string() + "/Area/Town", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(namesZoneFile(c.name, dir_.string()), c.accepted) << c.name;
    }
}

TEST(SafeTimeZoneTest, TakesTheSystemZoneNamesAndRulesOnly) {
    // tzdata provides the names; the rest is refused wherever it points.
    EXPECT_TRUE(isSafeTimeZone("Europe/Berlin"));
    EXPECT_TRUE(isSafeTimeZone("UTC"));
    EXPECT_TRUE(isSafeTimeZone("JST-9"));
    EXPECT_FALSE(isSafeTimeZone("/dev/stdin"));
    EXPECT_FALSE(isSafeTimeZone("../../../dev/zero"));
    EXPECT_FALSE(isSafeTimeZone("Europe"));
}

}  // namespace
}  // namespace jobtypefilter::testing
