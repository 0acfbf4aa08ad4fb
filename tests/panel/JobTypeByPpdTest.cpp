// The job-type pop-up, the file-name row and the acceptance of stored names, for PPDs parsed
// by libcups.
#include <gtest/gtest.h>

#include <set>

#include "JobTypeModel.h"
#include "PanelHarness.h"

namespace kordavine::paneltest {
namespace {

const std::vector<std::string> kStoredNames{"Normal",         "Sample Print", "Locked Print",
                                            "Paused Print",   "Saved Print",  "Save Document Print",
                                            "Document Server"};
const std::set<std::string> kAllAccepted{kStoredNames.begin(), kStoredNames.end()};
const std::vector<std::string> kAll{"Normal Print",   "Sample Print", "Locked Print",
                                    "Hold Print",     "Stored Print", "Store and Print",
                                    "Document Server"};
// What every model offers and accepts.
const std::vector<std::string> kBasic{"Normal Print", "Sample Print", "Locked Print"};
const std::set<std::string> kBasicAccepted{"Normal", "Sample Print", "Locked Print"};
const std::vector<std::string> kWithHoldAndStored{"Normal Print", "Sample Print", "Locked Print",
                                                  "Hold Print", "Stored Print"};

enum class Row { Hidden, Shown, Unchanged };

struct PpdCase {
    const char* label;
    PrinterPpd ppd;
    std::vector<std::string> offered;  // English titles, in order
    Row fileNameRow;
    std::set<std::string> accepted;  // stored names
    bool longPassword;
    const char* panelName;
};

PpdCase ppdCase(const char* label, PrinterPpd ppd, std::vector<std::string> offered,
                Row fileNameRow, std::set<std::string> accepted, bool longPassword,
                const char* panelName) {
    return {label, ppd, offered, fileNameRow, accepted, longPassword, panelName};
}

const PpdCase kCases[] = {
    ppdCase("Everything", "everything", kAll, Row::Shown, kAllAccepted, true, "Job Log"),
    ppdCase("StoredPrintOff", "stored-print-off",
            {"Normal Print", "Sample Print", "Locked Print", "Document Server"}, Row::Shown,
            {"Normal", "Sample Print", "Locked Print", "Document Server"}, false, "Job Log"),
    ppdCase("AllOff", "all-off", kBasic, Row::Hidden, kBasicAccepted, false, "Job Log"),
    ppdCase("NoJobTypeModel", "no-job-type-model", kWithHoldAndStored, Row::Unchanged,
            {"Normal", "Paused Print", "Saved Print"}, true, "Job Log2"),
    // Neither "true" nor "false": nothing extra offered, yet everything accepted; "TRUE" is not
    // "true", so no long password and no "Job Log2".
    ppdCase("OddValues", "odd-values", kBasic, Row::Hidden, kAllAccepted, false, "Job Log"),
    // A missing attribute counts as "false".
    ppdCase("AttributesMissing", "attributes-missing", kBasic, Row::Hidden, kBasicAccepted, false,
            "Job Log"),
    ppdCase("NoPpd", NoPpd{}, kBasic, Row::Hidden, kBasicAccepted, false, "Job Log"),
    // The first attribute of a name counts, whatever its specifier.
    ppdCase("FirstAttribute", "first-attribute", kWithHoldAndStored, Row::Unchanged,
            {"Normal", "Sample Print", "Locked Print", "Paused Print", "Saved Print"}, true,
            "Job Log"),
};

std::string titleOf(const std::string& storedName) {
    return ps::displayTitle(*ps::jobTypeFromStoredName(storedName));
}

class JobTypeByPpd : public ::testing::TestWithParam<PpdCase> {
  protected:
    PanelSetup setup() const {
        PanelSetup s;
        s.ppd = GetParam().ppd;
        return s;
    }
};

TEST_P(JobTypeByPpd, ModelOffersAndAcceptsFromTheParsedAttributes) {
    const auto& c = GetParam();
    PanelHarness t(setup());
    const auto attributes = t.panel->printerAttributes();
    std::vector<std::string> offered;
    for (auto type : joblog::offeredJobTypes(attributes))
        offered.emplace_back(ps::displayTitle(type));
    EXPECT_EQ(offered, c.offered);
    const auto row = joblog::fileNameRowHiddenByPopup(attributes);
    EXPECT_EQ(row, c.fileNameRow == Row::Unchanged
                       ? std::nullopt
                       : std::optional<bool>(c.fileNameRow == Row::Hidden));
    for (const auto& name : kStoredNames) {
        EXPECT_EQ(t.panel->CheckJobTypeOfPM(name), c.accepted.contains(name)) << name;
    }
}

TEST_P(JobTypeByPpd, OtherStringsAreRejectedAndNoValueIsAccepted) {
    PanelHarness t(setup());
    for (const char* other :
         {"Hold Print", "Stored Print", "normal", "Normal ", "", "Store and Print"}) {
        EXPECT_FALSE(t.panel->CheckJobTypeOfPM(std::string(other))) << '"' << other << '"';
    }
    EXPECT_TRUE(t.panel->CheckJobTypeOfPM(std::nullopt));
}

TEST_P(JobTypeByPpd, PasswordLengthAndPanelNameFollowThePpd) {
    const auto& c = GetParam();
    PanelHarness t(setup());
    EXPECT_EQ(t.panel->longpasswordsup, c.longPassword);
    EXPECT_EQ(t.panel->panelName(), c.panelName);
}

TEST_P(JobTypeByPpd, PopUpListsTheOfferedTitlesAndSelectsTheStoredName) {
    const auto& c = GetParam();
    PanelHarness t(setup());
    ASSERT_TRUE(t.panel->panelView());
    for (const auto& name : kStoredNames) {
        const bool accepted = t.panel->JobTypeByPM(name);
        EXPECT_EQ(accepted, c.accepted.contains(name)) << name;
        EXPECT_EQ(t.popUp()->itemTitles(), c.offered) << name;
        const std::string title = titleOf(name);
        const bool listed = std::find(c.offered.begin(), c.offered.end(), title) != c.offered.end();
        // Rejected: "Normal Print" instead. Accepted but not listed: the rebuilt list keeps its
        // first entry, which is "Normal Print" too.
        const std::string expected = accepted && listed ? title : "Normal Print";
        EXPECT_EQ(t.popUp()->selectedTitle(), expected) << name;
    }
}

TEST_P(JobTypeByPpd, NoStoredNameKeepsTheFirstEntry) {
    const auto& c = GetParam();
    PanelHarness t(setup());
    ASSERT_TRUE(t.panel->panelView());
    t.popUp()->addItem("Something else");
    t.popUp()->selectItem("Something else");
    EXPECT_TRUE(t.panel->JobTypeByPM(std::nullopt));
    EXPECT_EQ(t.popUp()->itemTitles(), c.offered);
    EXPECT_EQ(t.popUp()->selectedTitle(), "Normal Print");
}

TEST_P(JobTypeByPpd, RejectedNamesSelectNormalPrint) {
    PanelHarness t(setup());
    ASSERT_TRUE(t.panel->panelView());
    for (const char* other : {"Hold Print", "Bogus"}) {
        t.panel->JobTypeByPM(std::string("Locked Print"));
        EXPECT_FALSE(t.panel->JobTypeByPM(std::string(other))) << other;
        EXPECT_EQ(t.popUp()->selectedTitle(), "Normal Print") << other;
    }
}

TEST_P(JobTypeByPpd, FileNameRowIsHiddenShownOrLeftAlone) {
    const auto& c = GetParam();
    for (const bool hiddenBefore : {false, true}) {
        PanelHarness t(setup());
        ASSERT_TRUE(t.panel->panelView());
        for (const char* part : {"DocNameField", "DocNameLABEL", "DocNamenote"})
            t.field(part)->setHidden(hiddenBefore);
        t.panel->JobTypeByPM(std::string("Normal"));
        const bool expected =
            c.fileNameRow == Row::Unchanged ? hiddenBefore : c.fileNameRow == Row::Hidden;
        for (const char* part : {"DocNameField", "DocNameLABEL", "DocNamenote"}) {
            EXPECT_EQ(t.field(part)->isHidden(), expected)
                << part << " hidden before: " << hiddenBefore;
        }
    }
}

TEST_P(JobTypeByPpd, RebuildingTwiceGivesTheSameList) {
    const auto& c = GetParam();
    PanelHarness t(setup());
    ASSERT_TRUE(t.panel->panelView());
    t.panel->JobTypeByPM(std::string("Sample Print"));
    t.panel->JobTypeByPM(std::string("Sample Print"));
    EXPECT_EQ(t.popUp()->itemTitles(), c.offered);
}

INSTANTIATE_TEST_SUITE_P(Ppds, JobTypeByPpd, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(JobTypePopUpGerman, EntriesAndSelectionUseTheTranslatedTitles) {
    PanelSetup setup;
    setup.language = "de";
    PanelHarness t(setup);
    ASSERT_TRUE(t.panel->panelView());
    EXPECT_TRUE(t.panel->JobTypeByPM(std::string("Paused Print")));
    EXPECT_EQ(t.popUp()->itemTitles(),
              (std::vector<std::string>{"Normaldruck", "Probedruck", "Vertraulicher Druck",
                                        "Angehaltener Druck", "Gespeicherter Druck",
                                        "Speichern und drucken", "Dokumentenserver"}));
    EXPECT_EQ(t.popUp()->selectedTitle(), "Angehaltener Druck");
    EXPECT_FALSE(t.panel->JobTypeByPM(std::string("Angehaltener Druck")));
    EXPECT_EQ(t.popUp()->selectedTitle(), "Normaldruck");
}

TEST(JobTypePopUpBeforeTheView, AnswersWithoutControls) {
    PanelSetup setup;
    setup.ppd = "all-off";
    PanelHarness t(setup);
    EXPECT_FALSE(t.panel->JobTypeByPM(std::string("Saved Print")));
    EXPECT_TRUE(t.panel->JobTypeByPM(std::string("Locked Print")));
    EXPECT_EQ(t.panel->JobTypeSelection->titleOfSelectedItem(), std::nullopt);
    EXPECT_FALSE(t.panel->outputBinsView);
}

}  // namespace
}  // namespace kordavine::paneltest
