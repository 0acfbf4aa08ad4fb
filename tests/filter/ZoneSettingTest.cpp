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

TEST(PosixRuleTest, AcceptsOnlyTheRuleGrammar) {
    // What the panel writes, and rules with daylight-saving dates.
    for (const std::string rule :
         {"JST-9", "IST-5:30", "<+04>-4", "<+0530>-5:30", "NST3:30", "UTC0", "EST+5", "AAA24",
          "AAA-1:02:03", "EST5EDT", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT4,M3.2.0/2,M11.1.0/2:30",
          "NZST-12NZDT,M9.5.0,M4.1.0/3", "XXX3YYY,J60/-1,300/167"}) {
        EXPECT_TRUE(isPosixZoneRule(rule)) << rule;
    }
    // Paths, zone names and paths hidden in a rule.
    for (const std::string value :
         {"/dev/stdin", "/tmp/fifo", "Europe/Berlin", ":UTC", "", "<A/BC>5",
          "UTC0/../../../../dev/stdin", "EST5EDT,M3.2.0/../../x,M11.1.0"}) {
        EXPECT_FALSE(isPosixZoneRule(value)) << value;
    }
    // Broken rules: short names, offsets and dates out of range, a rule cut short.
    for (const std::string value :
         {"JST", "JS-9", "JST-25", "JST-9:60", "JST-100", "JST-9 ", "<AB>5", "EST5EDT,M3.2.0",
          "EST5EDT,M13.1.0,M11.1.0", "EST5EDT,M3.6.0,M11.1.0", "EST5EDT,M3.2.7,M11.1.0",
          "EST5EDT,J0,J365", "EST5EDT,M3.2.0/168,M11.1.0"}) {
        EXPECT_FALSE(isPosixZoneRule(value)) << value;
    }
    EXPECT_FALSE(isPosixZoneRule(std::string(300, 'A') + "5"));
}

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
    for (const std::string name : {"Area/Town", "Alias", "Link/Town"}) {
        EXPECT_TRUE(namesZoneFile(name, dir_.string())) << name;
    }
    for (const std::string name :
         {"Fifo", "Device", "Area", "Missing", "./Area/Town", "Area/../Area/Town", "Area//Town",
          "Area/Town/", "/Area/Town", "Area/To wn", ""}) {
        EXPECT_FALSE(namesZoneFile(name, dir_.string())) << name;
    }
    EXPECT_FALSE(namesZoneFile("../" + dir_.filename().string() + "/Area/Town", dir_.string()));
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
