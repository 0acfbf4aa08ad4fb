#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "PanelHarness.h"
#include "PrintSettingsKeys.h"

namespace kordavine::paneltest {
namespace {

// Every text the form shows, translated so that an untranslated one stands out.
platform::StringsTable germanTexts() {
    platform::StringsTable table;
    for (const char* key :
         {"User ID:", "User Code:", "Password:", "File Name:", "Job Type:", "Enable User Code",
          "(Up to 8 alphanumeric characters)", "(Up to 8 digits)", "(4-8 digits)", "(4 digits)",
          "(Up to 16 alphanumeric characters)", "Normal Print", "Sample Print", "Locked Print",
          "Hold Print", "Stored Print", "Store and Print", "Document Server"}) {
        table[key] = std::string("de:") + key;
    }
    return table;
}

const std::vector<std::string> kHideable{"DocNameField",  "DocNameLABEL",      "DocNamenote",
                                         "PasswordField", "LongPasswordField", "PasswordLABEL",
                                         "Passwordnote",  "JobTypeLABEL"};
const std::vector<std::string> kNeverHidden{"UserIDField",   "UserIDLABEL",   "UserIDnote",
                                            "UserCodeField", "UserCodeLABEL", "UserCodenote"};

struct SetUpCase {
    const char* name;
    PrinterPpd ppd;
    bool showOnce;  // false: the set-up alone; true: the first show (set-up and refresh)
    std::set<std::string> hidden;  // of kHideable, plus "JobTypeSelection"
    const char* passwordNote;
};

void PrintTo(const SetUpCase& c, std::ostream* os) {
    *os << c.name;
}

class FormSetUpTest : public ::testing::TestWithParam<SetUpCase> {};

std::set<std::string> hiddenControls(PanelHarness& h) {
    std::set<std::string> hidden;
    for (const auto& name : kHideable) {
        if (h.field(name)->isHidden()) hidden.insert(name);
    }
    if (h.popUp()->isHidden()) hidden.insert("JobTypeSelection");
    return hidden;
}

TEST_P(FormSetUpTest, HidesWhatThePrinterLacksAndSetsEveryText) {
    const SetUpCase& c = GetParam();
    PanelHarness h({.ppd = c.ppd, .form = Form::Connected, .translations = germanTexts()});
    if (c.showOnce) {
        h.panel->willShow();
    } else {
        h.panel->initializePopup();
    }
    EXPECT_TRUE(h.panel->popUpIsInited);
    EXPECT_EQ(hiddenControls(h), c.hidden);
    for (const auto& name : kNeverHidden) EXPECT_FALSE(h.field(name)->isHidden()) << name;
    EXPECT_FALSE(h.checkBox()->isHidden());

    EXPECT_EQ(h.field("Passwordnote")->text(), std::string("de:") + c.passwordNote);
    EXPECT_EQ(h.field("UserIDLABEL")->text(), "de:User ID:");
    EXPECT_EQ(h.field("UserCodeLABEL")->text(), "de:User Code:");
    EXPECT_EQ(h.field("PasswordLABEL")->text(), "de:Password:");
    EXPECT_EQ(h.field("DocNameLABEL")->text(), "de:File Name:");
    EXPECT_EQ(h.field("JobTypeLABEL")->text(), "de:Job Type:");
    EXPECT_EQ(h.checkBox()->title(), "de:Enable User Code");
    EXPECT_EQ(h.field("UserIDnote")->text(), "de:(Up to 8 alphanumeric characters)");
    EXPECT_EQ(h.field("UserCodenote")->text(), "de:(Up to 8 digits)");
    EXPECT_EQ(h.field("DocNamenote")->text(), "de:(Up to 16 alphanumeric characters)");
}

const std::set<std::string> kFileNameRow{"DocNameField", "DocNameLABEL", "DocNamenote"};
// What a model without the job-type model hides: the password and job-type rows.
const std::set<std::string> kNoJobTypeRows{"PasswordField", "LongPasswordField",
                                           "PasswordLABEL", "Passwordnote",
                                           "JobTypeLABEL",  "JobTypeSelection"};

std::set<std::string> with(std::set<std::string> a, const std::set<std::string>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

SetUpCase setUp(const char* name, PrinterPpd ppd, bool showOnce, std::set<std::string> hidden,
                const char* passwordNote) {
    return {name, ppd, showOnce, hidden, passwordNote};
}

INSTANTIATE_TEST_SUITE_P(
    Printers, FormSetUpTest,
    ::testing::Values(
        setUp("LongPasswordModel", PpdAttributes{}, false, {"PasswordField"}, "(4-8 digits)"),
        setUp("ShortPasswordModel", PpdAttributes{.longPasswordSupport = "false"}, false,
              {"LongPasswordField"}, "(4 digits)"),
        setUp("LongPasswordInCapitalsIsShort", PpdAttributes{.longPasswordSupport = "TRUE"}, false,
              {"LongPasswordField"}, "(4 digits)"),
        setUp("DocumentServerOnlyKeepsFileName",
              PpdAttributes{.storedPrintSupport = "false", .storeAndPrintSupport = "false"}, false,
              {"PasswordField"}, "(4-8 digits)"),
        setUp("NoStorageHidesFileName",
              PpdAttributes{.storedPrintSupport = "false",
                            .storeAndPrintSupport = "false",
                            .documentServerSupport = "false"},
              false, with({"PasswordField"}, kFileNameRow), "(4-8 digits)"),
        setUp("OddCaseFalseIsNotFalse",
              PpdAttributes{.storedPrintSupport = "False", .documentServerSupport = "false"}, false,
              {"PasswordField"}, "(4-8 digits)"),
        setUp("NoJobTypeModelHidesThreeRows",
              PpdAttributes{.noJobTypeModel = "true", .documentServerSupport = "false"}, false,
              with(kFileNameRow, kNoJobTypeRows), "(4-8 digits)"),
        setUp("MissingAttributesCountAsFalse",
              PpdAttributes{std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
              false, with({"LongPasswordField"}, kFileNameRow), "(4 digits)"),
        setUp("NoPpd", NoPpd{}, false, with({"LongPasswordField"}, kFileNameRow), "(4 digits)"),
        // The refresh fills the pop-up, which may show the file-name row again, never hide more.
        setUp("NoJobTypeModelStoredPrintRowStaysHiddenAfterShow",
              PpdAttributes{.noJobTypeModel = "true",
                            .storedPrintSupport = "true",
                            .documentServerSupport = "false"},
              true, with(kFileNameRow, kNoJobTypeRows), "(4-8 digits)"),
        setUp("NoJobTypeModelDocumentServerShowsRowAgain",
              PpdAttributes{.noJobTypeModel = "true", .documentServerSupport = "true"}, true,
              kNoJobTypeRows, "(4-8 digits)"),
        setUp("NoStorageRowStaysHiddenAfterShow",
              PpdAttributes{.storedPrintSupport = "false",
                            .storeAndPrintSupport = "false",
                            .documentServerSupport = "false",
                            .longPasswordSupport = "false"},
              true, with({"LongPasswordField"}, kFileNameRow), "(4 digits)")),
    [](const ::testing::TestParamInfo<SetUpCase>& info) { return std::string(info.param.name); });

TEST(FormSetUp, RunsOncePerPanelObject) {
    PanelHarness h({.ppd = PpdAttributes{.longPasswordSupport = "false"}, .form = Form::Connected});
    h.panel->willShow();
    // Undo some of the set-up's work; a second show must not redo it.
    h.field("UserIDLABEL")->setText("changed");
    h.field("LongPasswordField")->setHidden(false);
    h.checkBox()->setTitle("changed");
    h.panel->willShow();
    EXPECT_EQ(h.field("UserIDLABEL")->text(), "changed");
    EXPECT_FALSE(h.field("LongPasswordField")->isHidden());
    EXPECT_EQ(h.checkBox()->title(), "changed");
}

TEST(FormSetUp, MarkedDoneEvenBeforeTheControlsExist) {
    PanelHarness h({.form = Form::Absent});
    h.panel->willShow();
    EXPECT_TRUE(h.panel->popUpIsInited);
    h.connectControls();
    h.panel->willShow();
    EXPECT_EQ(h.field("UserIDLABEL")->text(), "");
    EXPECT_FALSE(h.field("PasswordField")->isHidden());
}

struct GrayCase {
    const char* title;
    bool fileNameInUse;
    bool passwordInUse;
};

void PrintTo(const GrayCase& c, std::ostream* os) {
    *os << c.title;
}

class EnablingRulesTest : public ::testing::TestWithParam<std::tuple<GrayCase, bool>> {};

// Sets every control grayUI governs to the opposite of what is expected, so that each one it
// leaves out shows.
void setOpposite(PanelHarness& h, bool fileName, bool password, bool userCode) {
    const auto color = [](bool black) { return black ? LabelColor::Black : LabelColor::LightGray; };
    h.field("DocNameField")->setEnabled(!fileName);
    h.field("DocNameLABEL")->setTextColor(color(!fileName));
    h.field("DocNamenote")->setTextColor(color(!fileName));
    for (const char* entry : {"PasswordField", "LongPasswordField"})
        h.field(entry)->setEnabled(!password);
    h.field("PasswordLABEL")->setTextColor(color(!password));
    h.field("Passwordnote")->setTextColor(color(!password));
    h.field("UserCodeField")->setEnabled(!userCode);
    h.field("UserCodeLABEL")->setTextColor(color(!userCode));
    h.field("UserCodenote")->setTextColor(color(!userCode));
}

void expectRows(PanelHarness& h, bool fileName, bool password, bool userCode) {
    const auto color = [](bool black) { return black ? LabelColor::Black : LabelColor::LightGray; };
    EXPECT_EQ(h.field("DocNameField")->isEnabled(), fileName);
    EXPECT_EQ(h.field("DocNameLABEL")->textColor(), color(fileName));
    EXPECT_EQ(h.field("DocNamenote")->textColor(), color(fileName));
    EXPECT_EQ(h.field("PasswordField")->isEnabled(), password);
    EXPECT_EQ(h.field("LongPasswordField")->isEnabled(), password);
    EXPECT_EQ(h.field("PasswordLABEL")->textColor(), color(password));
    EXPECT_EQ(h.field("Passwordnote")->textColor(), color(password));
    EXPECT_EQ(h.field("UserCodeField")->isEnabled(), userCode);
    EXPECT_EQ(h.field("UserCodeLABEL")->textColor(), color(userCode));
    EXPECT_EQ(h.field("UserCodenote")->textColor(), color(userCode));
}

TEST_P(EnablingRulesTest, FollowTheTitleAndTheCheckBox) {
    const auto& [row, userCodeOn] = GetParam();
    PanelHarness h({.form = Form::Connected, .translations = germanTexts()});
    h.panel->willShow();
    h.checkBox()->setState(userCodeOn ? 1 : 0);
    setOpposite(h, row.fileNameInUse, row.passwordInUse, userCodeOn);
    h.type("DocNameField", "kept");
    h.type("LongPasswordField", "1234");
    h.pick(std::string("de:") + row.title);
    ASSERT_EQ(h.popUp()->selectedTitle(), std::string("de:") + row.title);
    expectRows(h, row.fileNameInUse, row.passwordInUse, userCodeOn);
    // Only enabling changes: texts and visibility stay.
    EXPECT_EQ(h.field("DocNameField")->text(), "kept");
    EXPECT_EQ(h.field("LongPasswordField")->text(), "1234");
    EXPECT_TRUE(h.field("PasswordField")->isHidden());
    EXPECT_FALSE(h.field("LongPasswordField")->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Titles, EnablingRulesTest,
    ::testing::Combine(::testing::Values(GrayCase{"Normal Print", false, false},
                                         GrayCase{"Sample Print", false, false},
                                         GrayCase{"Locked Print", false, true},
                                         GrayCase{"Hold Print", true, false},
                                         GrayCase{"Stored Print", true, true},
                                         GrayCase{"Store and Print", true, true},
                                         GrayCase{"Document Server", true, true}),
                       ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<GrayCase, bool>>& info) {
        std::string name = std::get<0>(info.param).title;
        std::erase(name, ' ');
        return name + (std::get<1>(info.param) ? "UserCodeOn" : "UserCodeOff");
    });

struct UnknownSelectionCase {
    const char* name;
    std::optional<std::string> selection;
};

void PrintTo(const UnknownSelectionCase& c, std::ostream* os) {
    *os << c.name;
}

class UnknownSelectionTest : public ::testing::TestWithParam<UnknownSelectionCase> {};

TEST_P(UnknownSelectionTest, LeavesFileNameAndPasswordRowsButAppliesTheUserCode) {
    PanelHarness h({.form = Form::Connected, .translations = germanTexts()});
    h.panel->willShow();
    h.pick("de:Hold Print");  // file name on, password off
    h.checkBox()->setState(1);
    h.forceSelection(GetParam().selection);
    h.panel->ChangeOnOffUserCode(nullptr);
    expectRows(h, true, false, true);
    h.toggleUserCode(false);
    expectRows(h, true, false, false);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, UnknownSelectionTest,
    ::testing::Values(UnknownSelectionCase{"NothingSelected", std::nullopt},
                      UnknownSelectionCase{"OtherTitle", "Express Print"},
                      // The English title is not the shown one once the table translates it.
                      UnknownSelectionCase{"UntranslatedTitle", "Locked Print"}),
    [](const ::testing::TestParamInfo<UnknownSelectionCase>& info) {
        return std::string(info.param.name);
    });

TEST(EnablingRules, CheckBoxStateOtherThanOneCountsAsOn) {
    PanelHarness h({.form = Form::Connected});
    h.panel->willShow();
    h.checkBox()->setState(-1);
    h.panel->ChangeOnOffUserCode(nullptr);
    EXPECT_TRUE(h.field("UserCodeField")->isEnabled());
    EXPECT_EQ(h.field("UserCodeLABEL")->textColor(), LabelColor::Black);
}

TEST(EnablingRules, SwitchingJobTypesKeepsTypedTexts) {
    PanelHarness h({.ppd = PpdAttributes{.longPasswordSupport = "false"}, .form = Form::Connected});
    h.panel->willShow();
    h.type("DocNameField", "report");
    h.type("PasswordField", "1234");
    h.type("UserCodeField", "42");
    for (const char* title :
         {"Hold Print", "Normal Print", "Locked Print", "Sample Print", "Document Server"}) {
        h.pick(title);
        h.toggleUserCode(h.checkBox()->state() == 0);
    }
    EXPECT_EQ(h.field("DocNameField")->text(), "report");
    EXPECT_EQ(h.field("PasswordField")->text(), "1234");
    EXPECT_EQ(h.field("UserCodeField")->text(), "42");
    // Nothing reaches the print settings before a save.
    EXPECT_FALSE(h.setting(varlo::printsettings::kJobType));
}

TEST(Refresh, AppliesTheEnablingRulesWithoutPrintSettings) {
    PanelHarness h({.withPrintSettings = false, .form = Form::Connected});
    h.field("UserIDField")->setText("typed");
    h.checkBox()->setState(1);
    h.panel->willShow();
    // Without print settings the pop-up is not filled and keeps its (empty) list.
    EXPECT_TRUE(h.popUp()->itemTitles().empty());
    EXPECT_EQ(h.field("UserIDField")->text(), "typed");
    EXPECT_TRUE(h.field("UserCodeField")->isEnabled());
    h.checkBox()->setState(0);
    h.panel->updateUI();
    EXPECT_FALSE(h.field("UserCodeField")->isEnabled());
}

}  // namespace
}  // namespace kordavine::paneltest
