#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "PanelHarness.h"
#include "PrintSettingsKeys.h"

namespace kordavine::joblog::paneltest {
namespace {

// Every text the form shows, translated so that an untranslated one stands out.
platform::StringsTable germanTexts() {
    platform::StringsTable table;
    for (const char* key :
         {"User ID:", "User Code:", "Password:", "File Name:", "Job Type:", "Enable User Code",
          "(Up to 8 alphanumeric characters)", "(Up to 8 digits)", "(4-8 digits)", "(4 digits)",
          "(Up to 16 alphanumeric characters)", "Normal Print", "Sample Print", "Locked Print", "Hold Print",
          "Stored Print", "Store and Print", "Document Server"}) {
        table[key] = std::string("de:") + key;
    }
    return table;
}

const std::vector<std::string> kHideable{"DocNameField",  "DocNameLABEL",  "DocNamenote",
                                         "PasswordField", "LongPasswordField", "PasswordLABEL",
                                         "Passwordnote",  "JobTypeLABEL"};
const std::vector<std::string> kNeverHidden{"UserIDField", "UserIDLABEL",   "UserIDnote",
                                            "UserCodeField", "UserCodeLABEL", "UserCodenote"};

struct SetUpCase {
    const char* name;
    PpdAttributes attributes;
    bool withPpd;
    bool showOnce;  // false: the set-up alone; true: the first show (set-up and refresh)
    std::set<std::string> hidden;  // of kHideable, plus "JobTypeSelection"
    const char* passwordNote;
};

void PrintTo(const SetUpCase& c, std::ostream* os) { *os << c.name; }

class FormSetUpTest : public ::testing::TestWithParam<SetUpCase> {};

std::set<std::string> hiddenControls(PanelHarness& h) {
    std::set<std::string> hidden;
    for (const auto& name : kHideable) {
        if (h.text(name).isHidden()) hidden.insert(name);
    }
    if (h.popUp().isHidden()) hidden.insert("JobTypeSelection");
    return hidden;
}

TEST_P(FormSetUpTest, HidesWhatThePrinterLacksAndSetsEveryText) {
    const SetUpCase& c = GetParam();
    PanelHarness h({.attributes = c.attributes, .withPpd = c.withPpd, .translations = germanTexts()});
    if (c.showOnce) {
        h.panel->willShow();
    } else {
        h.panel->initializePopup();
    }
    EXPECT_TRUE(h.panel->popUpIsInited);
    EXPECT_EQ(hiddenControls(h), c.hidden);
    for (const auto& name : kNeverHidden) EXPECT_FALSE(h.text(name).isHidden()) << name;
    EXPECT_FALSE(h.checkBox().isHidden());

    EXPECT_EQ(h.text("Passwordnote").text(), std::string("de:") + c.passwordNote);
    EXPECT_EQ(h.text("UserIDLABEL").text(), "de:User ID:");
    EXPECT_EQ(h.text("UserCodeLABEL").text(), "de:User Code:");
    EXPECT_EQ(h.text("PasswordLABEL").text(), "de:Password:");
    EXPECT_EQ(h.text("DocNameLABEL").text(), "de:File Name:");
    EXPECT_EQ(h.text("JobTypeLABEL").text(), "de:Job Type:");
    EXPECT_EQ(h.checkBox().title(), "de:Enable User Code");
    EXPECT_EQ(h.text("UserIDnote").text(), "de:(Up to 8 alphanumeric characters)");
    EXPECT_EQ(h.text("UserCodenote").text(), "de:(Up to 8 digits)");
    EXPECT_EQ(h.text("DocNamenote").text(), "de:(Up to 16 alphanumeric characters)");
}

const std::set<std::string> kFileNameRow{"DocNameField", "DocNameLABEL", "DocNamenote"};

std::set<std::string> with(std::set<std::string> a, const std::set<std::string>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Printers, FormSetUpTest,
    ::testing::Values(
        SetUpCase{"LongPasswordModel", {}, true, false, {"PasswordField"}, "(4-8 digits)"},
        SetUpCase{"ShortPasswordModel", {.longPasswordSupport = "false"}, true, false, {"LongPasswordField"},
                  "(4 digits)"},
        SetUpCase{"LongPasswordInCapitalsIsShort", {.longPasswordSupport = "TRUE"}, true, false,
                  {"LongPasswordField"}, "(4 digits)"},
        SetUpCase{"DocumentServerOnlyKeepsFileName",
                  {.storedPrintSupport = "false", .storeAndPrintSupport = "false"}, true, false,
                  {"PasswordField"}, "(4-8 digits)"},
        SetUpCase{"NoStorageHidesFileName",
                  {.storedPrintSupport = "false", .storeAndPrintSupport = "false", .documentServerSupport = "false"},
                  true, false, with({"PasswordField"}, kFileNameRow), "(4-8 digits)"},
        SetUpCase{"OddCaseFalseIsNotFalse",
                  {.storedPrintSupport = "False", .documentServerSupport = "false"}, true, false,
                  {"PasswordField"}, "(4-8 digits)"},
        SetUpCase{"NoJobTypeModelHidesThreeRows", {.noJobTypeModel = "true", .documentServerSupport = "false"},
                  true, false,
                  with(kFileNameRow, {"PasswordField", "LongPasswordField", "PasswordLABEL", "Passwordnote",
                                      "JobTypeLABEL", "JobTypeSelection"}),
                  "(4-8 digits)"},
        SetUpCase{"MissingAttributesCountAsFalse",
                  {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}, true, false,
                  with({"LongPasswordField"}, kFileNameRow), "(4 digits)"},
        SetUpCase{"NoPpd", {}, false, false, with({"LongPasswordField"}, kFileNameRow), "(4 digits)"},
        // The refresh fills the pop-up, which may show the file-name row again, never hide more.
        SetUpCase{"NoJobTypeModelStoredPrintRowStaysHiddenAfterShow",
                  {.noJobTypeModel = "true", .storedPrintSupport = "true", .documentServerSupport = "false"}, true,
                  true,
                  with(kFileNameRow, {"PasswordField", "LongPasswordField", "PasswordLABEL", "Passwordnote",
                                      "JobTypeLABEL", "JobTypeSelection"}),
                  "(4-8 digits)"},
        SetUpCase{"NoJobTypeModelDocumentServerShowsRowAgain",
                  {.noJobTypeModel = "true", .documentServerSupport = "true"}, true, true,
                  {"PasswordField", "LongPasswordField", "PasswordLABEL", "Passwordnote", "JobTypeLABEL",
                   "JobTypeSelection"},
                  "(4-8 digits)"},
        SetUpCase{"NoStorageRowStaysHiddenAfterShow",
                  {.storedPrintSupport = "false", .storeAndPrintSupport = "false", .documentServerSupport = "false",
                   .longPasswordSupport = "false"},
                  true, true, with({"LongPasswordField"}, kFileNameRow), "(4 digits)"}),
    [](const ::testing::TestParamInfo<SetUpCase>& info) { return std::string(info.param.name); });

TEST(FormSetUp, RunsOncePerPanelObject) {
    PanelHarness h({.attributes = {.longPasswordSupport = "false"}});
    h.panel->willShow();
    // Undo some of the set-up's work; a second show must not redo it.
    h.text("UserIDLABEL").setText("changed");
    h.text("LongPasswordField").setHidden(false);
    h.checkBox().setTitle("changed");
    h.panel->willShow();
    EXPECT_EQ(h.text("UserIDLABEL").text(), "changed");
    EXPECT_FALSE(h.text("LongPasswordField").isHidden());
    EXPECT_EQ(h.checkBox().title(), "changed");
}

TEST(FormSetUp, MarkedDoneEvenBeforeTheControlsExist) {
    PanelHarness h({.withControls = false});
    h.panel->willShow();
    EXPECT_TRUE(h.panel->popUpIsInited);
    h.connectControls();
    h.panel->willShow();
    EXPECT_EQ(h.text("UserIDLABEL").text(), "");
    EXPECT_FALSE(h.text("PasswordField").isHidden());
}

struct GrayCase {
    const char* title;
    bool fileNameInUse;
    bool passwordInUse;
};

void PrintTo(const GrayCase& c, std::ostream* os) { *os << c.title; }

class EnablingRulesTest : public ::testing::TestWithParam<std::tuple<GrayCase, bool>> {};

// Sets every control grayUI governs to the opposite of what is expected, so that each one it
// leaves out shows.
void setOpposite(PanelHarness& h, bool fileName, bool password, bool userCode) {
    const auto color = [](bool black) { return black ? LabelColor::Black : LabelColor::LightGray; };
    h.text("DocNameField").setEnabled(!fileName);
    h.text("DocNameLABEL").setTextColor(color(!fileName));
    h.text("DocNamenote").setTextColor(color(!fileName));
    for (const char* entry : {"PasswordField", "LongPasswordField"}) h.text(entry).setEnabled(!password);
    h.text("PasswordLABEL").setTextColor(color(!password));
    h.text("Passwordnote").setTextColor(color(!password));
    h.text("UserCodeField").setEnabled(!userCode);
    h.text("UserCodeLABEL").setTextColor(color(!userCode));
    h.text("UserCodenote").setTextColor(color(!userCode));
}

void expectRows(PanelHarness& h, bool fileName, bool password, bool userCode) {
    const auto color = [](bool black) { return black ? LabelColor::Black : LabelColor::LightGray; };
    EXPECT_EQ(h.text("DocNameField").isEnabled(), fileName);
    EXPECT_EQ(h.text("DocNameLABEL").textColor(), color(fileName));
    EXPECT_EQ(h.text("DocNamenote").textColor(), color(fileName));
    EXPECT_EQ(h.text("PasswordField").isEnabled(), password);
    EXPECT_EQ(h.text("LongPasswordField").isEnabled(), password);
    EXPECT_EQ(h.text("PasswordLABEL").textColor(), color(password));
    EXPECT_EQ(h.text("Passwordnote").textColor(), color(password));
    EXPECT_EQ(h.text("UserCodeField").isEnabled(), userCode);
    EXPECT_EQ(h.text("UserCodeLABEL").textColor(), color(userCode));
    EXPECT_EQ(h.text("UserCodenote").textColor(), color(userCode));
}

TEST_P(EnablingRulesTest, FollowTheTitleAndTheCheckBox) {
    const auto& [row, userCodeOn] = GetParam();
    PanelHarness h({.translations = germanTexts()});
    h.panel->willShow();
    h.checkBox().setState(userCodeOn ? 1 : 0);
    setOpposite(h, row.fileNameInUse, row.passwordInUse, userCodeOn);
    h.type("DocNameField", "kept");
    h.type("LongPasswordField", "1234");
    h.pick(std::string("de:") + row.title);
    ASSERT_EQ(h.popUp().selectedTitle(), std::string("de:") + row.title);
    expectRows(h, row.fileNameInUse, row.passwordInUse, userCodeOn);
    // Only enabling changes: texts and visibility stay.
    EXPECT_EQ(h.text("DocNameField").text(), "kept");
    EXPECT_EQ(h.text("LongPasswordField").text(), "1234");
    EXPECT_TRUE(h.text("PasswordField").isHidden());
    EXPECT_FALSE(h.text("LongPasswordField").isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Titles, EnablingRulesTest,
    ::testing::Combine(::testing::Values(GrayCase{"Normal Print", false, false}, GrayCase{"Sample Print", false, false},
                                         GrayCase{"Locked Print", false, true}, GrayCase{"Hold Print", true, false},
                                         GrayCase{"Stored Print", true, true}, GrayCase{"Store and Print", true, true},
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

void PrintTo(const UnknownSelectionCase& c, std::ostream* os) { *os << c.name; }

class UnknownSelectionTest : public ::testing::TestWithParam<UnknownSelectionCase> {};

TEST_P(UnknownSelectionTest, LeavesFileNameAndPasswordRowsButAppliesTheUserCode) {
    PanelHarness h({.translations = germanTexts()});
    h.panel->willShow();
    h.pick("de:Hold Print");  // file name on, password off
    h.checkBox().setState(1);
    h.popUp().forceSelection(GetParam().selection);
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
    [](const ::testing::TestParamInfo<UnknownSelectionCase>& info) { return std::string(info.param.name); });

TEST(EnablingRules, CheckBoxStateOtherThanOneCountsAsOn) {
    PanelHarness h({});
    h.panel->willShow();
    h.checkBox().setState(-1);
    h.panel->ChangeOnOffUserCode(nullptr);
    EXPECT_TRUE(h.text("UserCodeField").isEnabled());
    EXPECT_EQ(h.text("UserCodeLABEL").textColor(), LabelColor::Black);
}

TEST(EnablingRules, SwitchingJobTypesKeepsTypedTexts) {
    PanelHarness h({.attributes = {.longPasswordSupport = "false"}});
    h.panel->willShow();
    h.type("DocNameField", "report");
    h.type("PasswordField", "1234");
    h.type("UserCodeField", "42");
    for (const char* title : {"Hold Print", "Normal Print", "Locked Print", "Sample Print", "Document Server"}) {
        h.pick(title);
        h.toggleUserCode(h.checkBox().state() == 0);
    }
    EXPECT_EQ(h.text("DocNameField").text(), "report");
    EXPECT_EQ(h.text("PasswordField").text(), "1234");
    EXPECT_EQ(h.text("UserCodeField").text(), "42");
    // Nothing reaches the print settings before a save.
    EXPECT_FALSE(h.stored(varlo::printsettings::kJobType));
}

TEST(Refresh, AppliesTheEnablingRulesWithoutPrintSettings) {
    PanelHarness h({.withPrintSettings = false});
    h.text("UserIDField").setText("typed");
    h.checkBox().setState(1);
    h.panel->willShow();
    // Without print settings the pop-up is not filled and keeps its (empty) list.
    EXPECT_TRUE(h.popUp().itemTitles().empty());
    EXPECT_EQ(h.text("UserIDField").text(), "typed");
    EXPECT_TRUE(h.text("UserCodeField").isEnabled());
    h.checkBox().setState(0);
    h.panel->updateUI();
    EXPECT_FALSE(h.text("UserCodeField").isEnabled());
}

}  // namespace
}  // namespace kordavine::joblog::paneltest
