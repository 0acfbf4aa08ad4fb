#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "PanelHarness.h"
#include "PrintSettingsKeys.h"
#include "ScopedTimeZone.h"
#include "TimeZoneValue.h"

namespace kordavine::paneltest {
namespace {

using Values = std::map<std::string, std::string, std::less<>>;

const auto byName = [](const auto& info) { return std::string(info.param.name); };

const PpdAttributes kShort{.longPasswordSupport = "false"};
const PpdAttributes kNoStorage{.storedPrintSupport = "false",
                               .storeAndPrintSupport = "false",
                               .documentServerSupport = "false"};

// ---- Read-in -------------------------------------------------------------------------------

struct FormContents {
    std::string userID, userCode, password, longPassword, fileName;
    int checkBox = 0;
};

struct ReadInCase {
    const char* name;
    PpdAttributes attributes;
    std::map<std::string, std::string> stored;
    FormContents before;
    FormContents after;
    std::optional<std::string> selected;       // the pop-up's title after the read-in
    std::optional<std::string> storedJobType;  // JobType in the print settings afterwards
};

void PrintTo(const ReadInCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadInTest : public ::testing::TestWithParam<ReadInCase> {};

void fill(PanelHarness& h, const FormContents& form) {
    h.type("UserIDField", form.userID);
    h.type("UserCodeField", form.userCode);
    h.type("PasswordField", form.password);
    h.type("LongPasswordField", form.longPassword);
    h.type("DocNameField", form.fileName);
    h.checkBox()->setState(form.checkBox);
}

TEST_P(ReadInTest, FillsTheFormFromWhatIsStored) {
    const ReadInCase& c = GetParam();
    PanelHarness h({.ppd = c.attributes, .settings = c.stored, .form = Form::Connected});
    fill(h, c.before);
    h.panel->getNonPPDSettingsFromPrintSettings();
    EXPECT_EQ(h.field("UserIDField")->text(), c.after.userID);
    EXPECT_EQ(h.field("UserCodeField")->text(), c.after.userCode);
    EXPECT_EQ(h.field("PasswordField")->text(), c.after.password);
    EXPECT_EQ(h.field("LongPasswordField")->text(), c.after.longPassword);
    EXPECT_EQ(h.field("DocNameField")->text(), c.after.fileName);
    EXPECT_EQ(h.checkBox()->state(), c.after.checkBox);
    EXPECT_EQ(h.popUp()->selectedTitle(), c.selected);
    EXPECT_EQ(h.setting(ps::kJobType), c.storedJobType);
    // The stored password is never changed by reading it.
    if (const auto password = c.stored.find(ps::kPassword); password != c.stored.end()) {
        EXPECT_EQ(h.setting(ps::kPassword), password->second);
    }
}

const FormContents kTyped{"typed", "11", "2222", "33333", "typedname", 1};

ReadInCase readIn(const char* name, PpdAttributes attributes,
                  std::map<std::string, std::string> stored, FormContents before,
                  FormContents after, std::optional<std::string> selected = "Normal Print",
                  std::optional<std::string> storedJobType = std::nullopt) {
    return {name, attributes, stored, before, after, selected, storedJobType};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadInTest,
    ::testing::Values(
        readIn("EveryKeyStored", {},
               {{ps::kUserID, "alice"},
                {ps::kUserCode, "4711"},
                {ps::kPassword, "123456"},
                {ps::kFileName, "report"},
                {ps::kJobType, "Saved Print"},
                {ps::kEnableUserCode, "true"}},
               {}, {"alice", "4711", "", "123456", "report", 1}, "Stored Print", "Saved Print"),
        // Only UserID is there (stored at creation when absent); everything else keeps its text.
        readIn("AbsentKeysKeepTheControls", {}, {}, kTyped,
               {"", "11", "2222", "33333", "typedname", 1}),
        readIn("LongPasswordOnShortModelIsDropped", kShort, {{ps::kPassword, "123456"}}, kTyped,
               {"", "11", "", "33333", "typedname", 1}),
        readIn("FiveCharacterPasswordOnShortModelIsDropped", kShort, {{ps::kPassword, "12345"}},
               kTyped, {"", "11", "", "33333", "typedname", 1}),
        readIn("FourDigitPasswordOnShortModelStays", kShort, {{ps::kPassword, "1234"}}, kTyped,
               {"", "11", "1234", "33333", "typedname", 1}),
        // Four characters as the toolkit counts them, more as UTF-8 bytes.
        readIn("FourAccentedCharactersStay", kShort,
               {{ps::kPassword, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"}}, kTyped,
               {"", "11", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "33333", "typedname", 1}),
        readIn("NineCharacterPasswordStandsWholeInTheLongField", {}, {{ps::kPassword, "123456789"}},
               kTyped, {"", "11", "2222", "123456789", "typedname", 1}),
        readIn("EnableUserCodeInCapitalsTurnsTheBoxOff", {}, {{ps::kEnableUserCode, "TRUE"}},
               kTyped, {"", "11", "2222", "33333", "typedname", 0}),
        readIn("EnableUserCodeFalseTurnsTheBoxOff", {}, {{ps::kEnableUserCode, "false"}}, kTyped,
               {"", "11", "2222", "33333", "typedname", 0}),
        readIn("EnableUserCodeTrueTurnsTheBoxOn", {}, {{ps::kEnableUserCode, "true"}}, {},
               {"", "", "", "", "", 1}),
        readIn("EmptyValuesReplaceTexts", {},
               {{ps::kUserID, ""}, {ps::kUserCode, ""}, {ps::kPassword, ""}, {ps::kFileName, ""}},
               kTyped, {"", "", "2222", "", "", 1}),
        readIn("PausedSelectsHoldPrint", {}, {{ps::kJobType, "Paused Print"}}, {}, {}, "Hold Print",
               "Paused Print"),
        readIn("RejectedJobTypeIsWrittenBackAsNormal", kNoStorage, {{ps::kJobType, "Saved Print"}},
               {}, {}, "Normal Print", "Normal"),
        readIn("DisplayTitleAsJobTypeIsRejected", {}, {{ps::kJobType, "Hold Print"}}, {}, {},
               "Normal Print", "Normal"),
        readIn("LockedOnNoJobTypeModelIsRejected", {.noJobTypeModel = "true"},
               {{ps::kJobType, "Locked Print"}}, {}, {}, "Normal Print", "Normal")),
    byName);

TEST(ReadIn, WithoutPrintSettingsChangesNothing) {
    PanelHarness h({.withPrintSettings = false, .form = Form::Connected});
    fill(h, kTyped);
    h.panel->getNonPPDSettingsFromPrintSettings();
    EXPECT_EQ(h.field("UserIDField")->text(), "typed");
    EXPECT_EQ(h.field("PasswordField")->text(), "2222");
    EXPECT_EQ(h.checkBox()->state(), 1);
    EXPECT_TRUE(h.popUp()->itemTitles().empty());
}

TEST(ReadIn, RejectedJobTypeIsWrittenBackEvenWithoutControls) {
    PanelHarness h({.ppd = PpdAttributes{.noJobTypeModel = "true"},
                    .settings = {{ps::kJobType, "Sample Print"}},
                    .form = Form::Absent});
    EXPECT_TRUE(h.panel->restoreValuesAndReturnError(nullptr));
    EXPECT_EQ(h.setting(ps::kJobType), "Normal");
}

TEST(ReadIn, ShowingTwiceRefreshesFromTheSettingsEachTime) {
    PanelHarness h({.settings = {{ps::kUserID, "first"}}, .form = Form::Connected});
    h.panel->willShow();
    EXPECT_EQ(h.field("UserIDField")->text(), "first");
    h.settings->setValue(ps::kUserID, "second", false);
    h.settings->setValue(ps::kJobType, "Locked Print", false);
    h.panel->willShow();
    EXPECT_EQ(h.field("UserIDField")->text(), "second");
    EXPECT_EQ(h.popUp()->selectedTitle(), "Locked Print");
    // The refresh applied the enabling rules of the new selection.
    EXPECT_TRUE(h.field("LongPasswordField")->isEnabled());
    EXPECT_FALSE(h.field("DocNameField")->isEnabled());
}

// ---- Write-back ----------------------------------------------------------------------------

// 2025-07-15 12:00:00 UTC.
std::time_t fixedInstant() {
    return 1752580800;
}

class WriteBackTest : public ::testing::Test {
  protected:
    void SetUp() override { joblog::setSaveClock(fixedInstant); }
    void TearDown() override { joblog::setSaveClock(nullptr); }
    testsupport::ScopedTimeZone zone_{"Asia/Kolkata"};
};

struct Entries {
    const char* title;
    std::string userID, fileName, password, longPassword, userCode;
    bool userCodeOn;
};

void enter(PanelHarness& h, const Entries& e) {
    h.pick(e.title);
    h.type("UserIDField", e.userID);
    h.type("DocNameField", e.fileName);
    h.type("PasswordField", e.password);
    h.type("LongPasswordField", e.longPassword);
    h.type("UserCodeField", e.userCode);
    h.toggleUserCode(e.userCodeOn);
}

TEST_F(WriteBackTest, SaveBeforeTheFirstShowWritesNothing) {
    PanelHarness h({.settings = {{ps::kJobType, "Bogus"}}, .form = Form::Connected});
    const Values before = h.settings->values();
    h.type("UserIDField", "bad id!");
    EXPECT_TRUE(h.panel->saveValuesAndReturnError(nullptr));
    EXPECT_EQ(h.settings->values(), before);
    EXPECT_TRUE(h.alerts.empty());
}

struct SaveCase {
    const char* name;
    PpdAttributes attributes;
    Entries entries;
    Values expected;  // every value afterwards, TimeZone included
};

void PrintTo(const SaveCase& c, std::ostream* os) {
    *os << c.name;
}

class SaveTest : public ::testing::WithParamInterface<SaveCase>, public WriteBackTest {};

TEST_P(SaveTest, WritesAllSevenKeys) {
    const SaveCase& c = GetParam();
    PanelHarness h({.ppd = c.attributes, .form = Form::Connected});
    h.panel->willShow();
    enter(h, c.entries);
    EXPECT_TRUE(h.panel->saveValuesAndReturnError(nullptr));
    EXPECT_EQ(h.settings->values(), c.expected);
    EXPECT_TRUE(h.alerts.empty());
    EXPECT_TRUE(h.log.empty());
}

Values saved(std::string userID, std::string fileName, std::string password, std::string userCode,
             std::string jobType, std::string enable) {
    return {{ps::kUserID, userID},      {ps::kFileName, fileName}, {ps::kPassword, password},
            {ps::kUserCode, userCode},  {ps::kJobType, jobType},   {ps::kEnableUserCode, enable},
            {ps::kTimeZone, "IST-5:30"}};
}

SaveCase save(const char* name, PpdAttributes attributes, Entries entries, Values expected) {
    return {name, attributes, entries, expected};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveTest,
    ::testing::Values(
        save("HoldPrint", {}, {"Hold Print", "alice", "report", "12", "5678", "", false},
             saved("alice", "report", "5678", "", "Paused Print", "false")),
        // Disabled and hidden entries are written too, unchecked.
        save("NormalWritesUncheckedTexts", {}, {"Normal Print", "", "a b", "x", "y", "z", false},
             saved("", "a b", "y", "z", "Normal", "false")),
        save("ShortModelTakesTheShortField", kShort,
             {"Locked Print", "bob", "", "1234", "99999999", "", false},
             saved("bob", "", "1234", "", "Locked Print", "false")),
        save("LongModelTakesTheLongField", {},
             {"Locked Print", "bob", "", "1234", "99999999", "", false},
             saved("bob", "", "99999999", "", "Locked Print", "false")),
        save("UserCodeOn", {}, {"Stored Print", "bob", "f", "", "", "0815", true},
             saved("bob", "f", "", "0815", "Saved Print", "true")),
        save("UnacceptedSelectionStoredAsNormal", {.noJobTypeModel = "true"},
             {"Sample Print", "", "", "", "", "", false}, saved("", "", "", "", "Normal", "false")),
        save("DocumentServer", {}, {"Document Server", "", "doc1", "", "", "", false},
             saved("", "doc1", "", "", "Document Server", "false"))),
    byName);

struct RefusalCase {
    const char* name;
    PpdAttributes attributes;
    Entries entries;
    const char* alert;  // localized
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusalTest : public ::testing::WithParamInterface<RefusalCase>, public WriteBackTest {};

TEST_P(RefusalTest, ShowsOneAlertAndWritesNothing) {
    const RefusalCase& c = GetParam();
    PanelHarness h(
        {.ppd = c.attributes,
         .settings = {{ps::kJobType, "Normal"}, {ps::kUserID, "kept"}},
         .form = Form::Connected,
         .translations = platform::StringsTable{{"Enter a valid User ID", "Benutzer-ID?"},
                                                {"Enter a valid File Name", "Dateiname?"},
                                                {"Enter a valid Password", "Kennwort?"},
                                                {"Enter a valid User Code", "Benutzercode?"}}});
    h.panel->willShow();
    const Values before = h.settings->values();
    enter(h, c.entries);
    EXPECT_FALSE(h.panel->saveValuesAndReturnError(nullptr));
    EXPECT_EQ(h.alerts, std::vector<std::string>{c.alert});
    EXPECT_EQ(h.settings->values(), before);
    // The form keeps what the user typed.
    EXPECT_EQ(h.field("UserIDField")->text(), c.entries.userID);
}

RefusalCase refusal(const char* name, PpdAttributes attributes, Entries entries,
                    const char* alert) {
    return {name, attributes, entries, alert};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalTest,
    ::testing::Values(
        refusal("SampleWithoutUserID", {}, {"Sample Print", "", "", "", "", "", false},
                "Benutzer-ID?"),
        refusal("UserIDBeforeFileName", {}, {"Hold Print", "a_b", "a b", "", "", "x", true},
                "Benutzer-ID?"),
        refusal("FileName", {}, {"Hold Print", "ab", "a.b", "", "", "", false}, "Dateiname?"),
        refusal("LockedEmptyPassword", {}, {"Locked Print", "ab", "", "1234", "", "", false},
                "Kennwort?"),
        refusal("ShortModelThreeDigits", kShort,
                {"Stored Print", "ab", "f", "123", "12345678", "", false}, "Kennwort?"),
        refusal("UserCodeLetter", {}, {"Normal Print", "ab", "", "", "", "12a", true},
                "Benutzercode?")),
    byName);

TEST_F(WriteBackTest, NoPrintSettingsAfterShowAnswersYes) {
    PanelHarness h({.withPrintSettings = false, .form = Form::Connected});
    h.panel->willShow();
    h.type("UserIDField", "ok");
    EXPECT_TRUE(h.panel->saveValuesAndReturnError(nullptr));
    EXPECT_TRUE(h.alerts.empty());
}

TEST_F(WriteBackTest, NoPrintSettingsStillValidates) {
    PanelHarness h({.withPrintSettings = false, .form = Form::Connected});
    h.panel->willShow();
    // The pop-up was never filled, so nothing is selected: only the user code is checked.
    h.type("UserIDField", "not ok");
    EXPECT_TRUE(h.panel->saveValuesAndReturnError(nullptr));
    h.toggleUserCode(true);
    h.type("UserCodeField", "x");
    EXPECT_FALSE(h.panel->saveValuesAndReturnError(nullptr));
    EXPECT_EQ(h.alerts, std::vector<std::string>{"Enter a valid User Code"});
}

TEST_F(WriteBackTest, AFailedEnableUserCodeWriteIsLoggedAndTheSaveGoesOn) {
    PanelHarness h({.form = Form::Connected});
    h.panel->willShow();
    h.settings->refuseWritesTo(ps::kEnableUserCode, platform::kPMKeyNotWritable);
    h.type("UserIDField", "ab");
    EXPECT_TRUE(h.panel->saveValuesAndReturnError(nullptr));
    EXPECT_EQ(h.log,
              std::vector<std::string>{"OutputBins PDE got an error -9590 setting the value for "
                                       "com.varlo.printsettings.EnableUserCode !"});
    EXPECT_FALSE(h.setting(ps::kEnableUserCode));
    EXPECT_EQ(h.setting(ps::kTimeZone), "IST-5:30");
    EXPECT_EQ(h.setting(ps::kUserID), "ab");
}

TEST_F(WriteBackTest, OtherFailedWritesAreNotLogged) {
    PanelHarness h({.form = Form::Connected});
    h.panel->willShow();
    h.settings->refuseWritesTo(ps::kUserID, platform::kPMKeyNotWritable);
    EXPECT_TRUE(h.panel->saveValuesAndReturnError(nullptr));
    EXPECT_TRUE(h.log.empty());
    EXPECT_EQ(h.setting(ps::kJobType), "Normal");
}

TEST_F(WriteBackTest, TimeZoneFollowsTheZoneAtTheMomentOfSaving) {
    PanelHarness h({.form = Form::Connected});
    h.panel->willShow();
    {
        testsupport::ScopedTimeZone dubai("Asia/Dubai");
        EXPECT_TRUE(h.panel->saveValuesAndReturnError(nullptr));
    }
    EXPECT_EQ(h.setting(ps::kTimeZone), "<+04>-4");
    {
        testsupport::ScopedTimeZone berlin("Europe/Berlin");
        EXPECT_TRUE(h.panel->saveValuesAndReturnError(nullptr));
    }
    EXPECT_EQ(h.setting(ps::kTimeZone), "CEST-2");
}

// ---- Before printing and the summary -------------------------------------------------------

struct ShouldPrintCase {
    const char* name;
    PpdAttributes attributes;
    std::optional<std::string> jobType;
    std::optional<std::string> after;
};

void PrintTo(const ShouldPrintCase& c, std::ostream* os) {
    *os << c.name;
}

class ShouldPrintTest : public ::testing::TestWithParam<ShouldPrintCase> {};

TEST_P(ShouldPrintTest, AlwaysConsentsAndResetsAnUnsupportedJobType) {
    const ShouldPrintCase& c = GetParam();
    std::map<std::string, std::string> stored;
    if (c.jobType) stored[ps::kJobType] = *c.jobType;
    PanelHarness h({.ppd = c.attributes, .settings = stored, .form = Form::Connected});
    h.field("UserIDField")->setText("form");
    EXPECT_TRUE(h.panel->shouldPrint());
    EXPECT_EQ(h.setting(ps::kJobType), c.after);
    EXPECT_EQ(h.field("UserIDField")->text(), "form");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShouldPrintTest,
    ::testing::Values(
        ShouldPrintCase{"Absent", kNoStorage, std::nullopt, std::nullopt},
        ShouldPrintCase{"Supported", {}, "Saved Print", "Saved Print"},
        ShouldPrintCase{"Unsupported", kNoStorage, "Saved Print", "Normal"},
        ShouldPrintCase{"DocumentServerUnsupported", kNoStorage, "Document Server", "Normal"},
        ShouldPrintCase{"Unknown", {}, "Hold Print", "Normal"},
        ShouldPrintCase{
            "SampleOnNoJobTypeModel", {.noJobTypeModel = "true"}, "Sample Print", "Normal"},
        ShouldPrintCase{"OddCaseSupportAccepts", PpdAttributes{.storedPrintSupport = "TRUE"},
                        "Paused Print", "Paused Print"}),
    byName);

TEST(ShouldPrint, WithoutPrintSettingsConsents) {
    PanelHarness h({.withPrintSettings = false, .form = Form::Connected});
    EXPECT_TRUE(h.panel->shouldPrint());
}

TEST(SummaryInfo, LocalizedLabelsFromTheStoredValues) {
    PanelHarness h({.settings = {{ps::kUserID, "alice"},
                                 {ps::kFileName, "rep"},
                                 {ps::kPassword, "1234"},
                                 {ps::kJobType, "Paused Print"},
                                 {ps::kEnableUserCode, "true"}},
                    .translations = platform::StringsTable{{"User ID", "Benutzer"},
                                                           {"Job Type", "Auftragsart"},
                                                           {"Hold Print", "Angehalten"},
                                                           {"User Code", "Code"}}});
    const platform::PDESummary expected{
        {"Benutzer", "alice"}, {"Auftragsart", "Angehalten"}, {"File Name", "rep"}, {"Code", ""}};
    EXPECT_EQ(h.panel->summaryInfo(), expected);
}

TEST(SummaryInfo, NoJobTypeModelAndNoSettings) {
    PanelHarness noJobType({.ppd = PpdAttributes{.noJobTypeModel = "true"},
                            .settings = {{ps::kJobType, "Saved Print"}, {ps::kFileName, "rep"}}});
    EXPECT_EQ(noJobType.panel->summaryInfo(), (platform::PDESummary{{"User ID", ""}}));
    PanelHarness noSettings({.withPrintSettings = false});
    EXPECT_EQ(noSettings.panel->summaryInfo(), (platform::PDESummary{{"User ID", ""}}));
}

}  // namespace
}  // namespace kordavine::paneltest
