#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "SummaryEntries.h"

namespace kordavine::joblog {
namespace {

// Marks every translated text so a missing localization shows in the expected dictionary.
// Appended, not prepended: GCC 12's -Wrestrict misfires on `"[" + std::string` at -O2.
std::string bracketed(std::string_view key) {
    std::string text = "[";
    text += key;
    text += ']';
    return text;
}

struct SummaryCase {
    const char* name;
    StoredEntries stored;
    std::optional<std::string> noJobTypeModel;
    SummaryDictionary expected;
};

void PrintTo(const SummaryCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

class SummaryEntriesTest : public testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryEntriesTest, ShowsTheStoredValuesByItsRules) {
    const SummaryCase& c = GetParam();
    EXPECT_EQ(summaryEntries(c.stored, c.noJobTypeModel, bracketed), c.expected);
}

const StoredEntries kSaved{"alice", "4711", "report", "Saved Print", "true"};
const SummaryDictionary kSavedShown{{"[User ID]", "alice"},
                                    {"[Job Type]", "[Stored Print]"},
                                    {"[File Name]", "report"},
                                    {"[User Code]", "4711"}};

SummaryCase summaryCase(const char* name, StoredEntries stored,
                        std::optional<std::string> noJobTypeModel, SummaryDictionary expected) {
    return {name, stored, noJobTypeModel, expected};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SummaryEntriesTest,
    testing::Values(
        summaryCase("NothingStored", {}, "false", {{"[User ID]", ""}}),
        summaryCase("SavedPrintWithUserCode", kSaved, "false", kSavedShown),
        summaryCase(
            "SavedPrintWithoutUserCode", {"alice", "4711", "report", "Saved Print", "false"},
            "false",
            {{"[User ID]", "alice"}, {"[Job Type]", "[Stored Print]"}, {"[File Name]", "report"}}),
        summaryCase("NoJobTypeModelShowsUserIDAndUserCodeOnly", kSaved, "true",
                    {{"[User ID]", "alice"}, {"[User Code]", "4711"}}),
        summaryCase("MissingNoJobTypeModelCountsAsFalse", kSaved, std::nullopt, kSavedShown),
        summaryCase("OddNoJobTypeModelShowsNoJobType", kSaved, "False",
                    {{"[User ID]", "alice"}, {"[User Code]", "4711"}}),
        summaryCase("NormalHasNoFileName",
                    {"bob", std::nullopt, "leftover", "Normal", std::nullopt}, "false",
                    {{"[User ID]", "bob"}, {"[Job Type]", "[Normal Print]"}}),
        summaryCase("LockedHasNoFileName",
                    {"bob", std::nullopt, "leftover", "Locked Print", std::nullopt}, "false",
                    {{"[User ID]", "bob"}, {"[Job Type]", "[Locked Print]"}}),
        summaryCase("PausedShowsHoldPrintAndFileName",
                    {"bob", std::nullopt, "f1", "Paused Print", std::nullopt}, "false",
                    {{"[User ID]", "bob"}, {"[Job Type]", "[Hold Print]"}, {"[File Name]", "f1"}}),
        summaryCase(
            "SaveDocumentShowsStoreAndPrint",
            {"bob", std::nullopt, "f1", "Save Document Print", std::nullopt}, "false",
            {{"[User ID]", "bob"}, {"[Job Type]", "[Store and Print]"}, {"[File Name]", "f1"}}),
        summaryCase(
            "DocumentServerAbsentFileNameIsEmpty",
            {"bob", std::nullopt, std::nullopt, "Document Server", std::nullopt}, "false",
            {{"[User ID]", "bob"}, {"[Job Type]", "[Document Server]"}, {"[File Name]", ""}}),
        summaryCase("UnknownJobTypeGivesNeitherEntry",
                    {"bob", std::nullopt, "f1", "Hold Print", std::nullopt}, "false",
                    {{"[User ID]", "bob"}}),
        summaryCase("UserCodeNeedsExactTrue", {"bob", "1", std::nullopt, std::nullopt, "TRUE"},
                    "false", {{"[User ID]", "bob"}}),
        summaryCase("EnabledAbsentUserCodeIsEmpty",
                    {std::nullopt, std::nullopt, std::nullopt, std::nullopt, "true"}, "false",
                    {{"[User ID]", ""}, {"[User Code]", ""}})),
    [](const testing::TestParamInfo<SummaryCase>& info) { return std::string(info.param.name); });

TEST(SummaryEntries, NeverShowsThePassword) {
    // The stored entries carry no password at all; check no label or value leaks one anyway.
    const auto summary = summaryEntries(kSaved, "false", bracketed);
    for (const auto& [label, text] : summary) {
        EXPECT_EQ(label.find("Password"), std::string::npos);
    }
    EXPECT_EQ(summary.size(), 4u);
}

}  // namespace
}  // namespace kordavine::joblog
