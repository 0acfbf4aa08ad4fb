// The option names as written in the options argument, checked against libcups' own parser, and
// the keys that differ from the filter's only in letter case.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <strings.h>

#include <optional>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "NamedCases.h"
#include "OptionSpelling.h"
#include "PrintSettingsKeys.h"

namespace jobtypefilter::testing {
namespace {

namespace keys = varlo::printsettings;
using testsupport::PrintTo;

// The names libcups keeps: the first spelling of each name, later ones in another letter case
// merged into it.
std::set<std::string> keptNames(const std::vector<std::string>& written) {
    std::vector<std::string> kept;
    for (const std::string& name : written) {
        bool merged = false;
        for (const std::string& earlier : kept)
            merged |= strcasecmp(earlier.c_str(), name.c_str()) == 0;
        if (!merged) kept.push_back(name);
    }
    return {kept.begin(), kept.end()};
}

std::set<std::string> libcupsNames(const std::string& options) {
    cups_option_t* parsed = nullptr;
    const int count = cupsParseOptions(options.c_str(), 0, &parsed);
    std::set<std::string> names;
    for (int i = 0; i < count; ++i) names.insert(parsed[i].name);
    cupsFreeOptions(count, parsed);
    return names;
}

// Strings made of the characters that steer the parser: quotes, escapes, braces, separators and
// the letters of "no".
TEST(OptionNamesTest, AreTheNamesLibcupsParses) {
    std::mt19937 random(20261209);
    const std::string alphabet = "nNoOaX=\"'\\{} \t,.-";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 28);
    for (int round = 0; round < 30000; ++round) {
        std::string options;
        for (int i = length(random); i > 0; --i) options += alphabet[pick(random)];
        ASSERT_EQ(keptNames(optionNamesAsWritten(options)), libcupsNames(options))
            << "[" << options << "]";
    }
}

struct SpellingCase {
    const char* name;
    std::string options;
    std::optional<std::string> written;  // the misspelled name found, if any
    const char* ours;
};

class MisspelledKeyTest : public ::testing::TestWithParam<SpellingCase> {};

TEST_P(MisspelledKeyTest, FindsTheFirstKeyInAnotherCase) {
    const SpellingCase& c = GetParam();
    const auto found = findMisspelledKey(c.options);
    ASSERT_EQ(found.has_value(), c.written.has_value());
    if (found) {
        EXPECT_EQ(found->written, *c.written);
        EXPECT_STREQ(found->ours, c.ours);
    }
}

const std::string kLong = keys::kKeyPrefix;

INSTANTIATE_TEST_SUITE_P(
    Options, MisspelledKeyTest,
    ::testing::Values(
        SpellingCase{"Exact", kLong + "Password=1 UserID=a JobType=LockedPrint job-password=1",
                     std::nullopt, nullptr},
        SpellingCase{
            "AllCapitals",
            "COM.VARLO.PRINTSETTINGS.PASSWORD=11112222 " + kLong + "JobType='Locked Print'",
            "COM.VARLO.PRINTSETTINGS.PASSWORD", keys::kPassword},
        // After the exact key libcups keeps the exact name with the later value.
        SpellingCase{"AfterTheExactKey", kLong + "UserCode=1 " + kLong + "usercode=2",
                     "com.varlo.printsettings.usercode", keys::kUserCode},
        SpellingCase{"DialogOption", "password=1234", "password", keys::kDialogPassword},
        SpellingCase{"IppAttribute", "Job-Password=1234", "Job-Password", keys::kJobPassword},
        SpellingCase{"BooleanWithNo", "NOpassword", "password", keys::kDialogPassword},
        SpellingCase{"InsideBraces", "{userid=alice}", "userid", keys::kDialogUserID},
        SpellingCase{"CopyControlKey", kLong + "ccpsize=1", "com.varlo.printsettings.ccpsize",
                     keys::kCCPSize},
        // Text inside values is no name.
        SpellingCase{"InsideAQuotedValue", kLong + "FileName='x PASSWORD=1' title=\"a userid=b\"",
                     std::nullopt, nullptr},
        SpellingCase{"InsideACollection", "media-col={PASSWORD=1 userid=2}", std::nullopt, nullptr},
        SpellingCase{"EscapedSpaceInAValue", "title=a\\ PASSWORD=1", std::nullopt, nullptr},
        SpellingCase{"LongerName", "Passwords=1 UserIDs=2", std::nullopt, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace jobtypefilter::testing
