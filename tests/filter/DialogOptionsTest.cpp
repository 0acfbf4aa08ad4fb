// The print dialogs' options turned into the filter's keys, over real PPDs read by libcups: what
// the rest of the filter then reads, or the reason the job is refused.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "DialogOptions.h"
#include "FilterStatus.h"
#include "JobOptions.h"
#include "PrintSettingsKeys.h"

namespace jobtypefilter::testing {
namespace {

namespace keys = varlo::printsettings;

enum class Model { Full, Basic, NoPpd, Unreadable };

const char* ppdPath(Model model) {
    switch (model) {
        case Model::Full:
            return JOBLOG_DIALOG_PPDS "/kordavine-office.ppd";
        case Model::Basic:
            return JOBLOG_DIALOG_PPDS "/kordavine-office-mp2000.ppd";
        case Model::NoPpd:
            return nullptr;
        case Model::Unreadable:
            return JOBLOG_DIALOG_PPDS "/no-such.ppd";
    }
    return nullptr;
}

// The six keys the step may fill, by short name; none stands for an absent key.
using Keys = std::map<std::string, std::optional<std::string>>;

Keys keysOf(const JobOptions& options) {
    Keys found;
    for (const char* name :
         {"JobType", "UserID", "Password", "FileName", "UserCode", "EnableUserCode"}) {
        const char* value = options.get((std::string(keys::kKeyPrefix) + name).c_str());
        found[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    return found;
}

// The expected keys: the ones named, every other one absent.
Keys expect(std::initializer_list<std::pair<const std::string, std::string>> present) {
    Keys all{{"JobType", std::nullopt},  {"UserID", std::nullopt},
             {"Password", std::nullopt}, {"FileName", std::nullopt},
             {"UserCode", std::nullopt}, {"EnableUserCode", std::nullopt}};
    for (const auto& [name, value] : present) all[name] = value;
    return all;
}

struct DialogCase {
    const char* name;
    std::string options;
    const char* user;
    Model model;
    Keys keys;            // when the options pass
    std::string refusal;  // when they do not
};

void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << c.name;
}

class DialogOptionsTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogOptionsTest, FillsTheKeysOrRefusesTheJob) {
    const DialogCase& c = GetParam();
    resetFilterStatus();
    JobOptions options(c.options.c_str());
    const bool passed = translateDialogOptions(options, JobOrigin{c.user, ppdPath(c.model)});
    if (c.refusal.empty()) {
        EXPECT_TRUE(passed) << refusalReason();
        EXPECT_EQ(keysOf(options), c.keys);
    } else {
        EXPECT_FALSE(passed);
        EXPECT_EQ(refusalReason(), c.refusal);
    }
}

const std::string kLong = keys::kKeyPrefix;

INSTANTIATE_TEST_SUITE_P(
    Forms, DialogOptionsTest,
    ::testing::Values(
        DialogCase{"NoDialogOptionsChangeNothing", "copies=2 " + kLong + "UserID=u", "alice",
                   Model::Full, expect({{"UserID", "u"}}), ""},
        // GTK sends every option of the PPD, the defaults included.
        DialogCase{"GtkDefaults",
                   "JobType=Normal UserID=None Password=None FileName=None UserCode=None", "alice",
                   Model::Full, expect({{"JobType", "Normal"}, {"UserID", ""}}), ""},
        DialogCase{
            "GtkLockedPrint",
            "JobType=LockedPrint UserID=Custom.alice Password=Custom.12345678 FileName=None "
            "UserCode=None",
            "root", Model::Full,
            expect({{"JobType", "Locked Print"}, {"UserID", "alice"}, {"Password", "12345678"}}),
            ""},
        DialogCase{
            "LpPlainValues", "JobType=PausedPrint UserID=bob FileName=report", "root", Model::Full,
            expect({{"JobType", "Paused Print"}, {"UserID", "bob"}, {"FileName", "report"}}), ""},
        // Optional values nobody gave stand empty, as the panel writes them.
        DialogCase{"HoldPrintWithoutFileName", "JobType=PausedPrint UserID=bob", "root",
                   Model::Full,
                   expect({{"JobType", "Paused Print"}, {"UserID", "bob"}, {"FileName", ""}}), ""},
        DialogCase{"StoredPrintWithoutPassword", "JobType=SavedPrint UserID=bob", "root",
                   Model::Full,
                   expect({{"JobType", "Saved Print"},
                           {"UserID", "bob"},
                           {"Password", ""},
                           {"FileName", ""}}),
                   ""},
        DialogCase{"DocumentServerNeedsNoUserID", "JobType=DocumentServer", "Mary Ann", Model::Full,
                   expect({{"JobType", "Document Server"},
                           {"UserID", ""},
                           {"Password", ""},
                           {"FileName", ""}}),
                   ""},
        DialogCase{"UserCodeTurnsItOn", "UserCode=Custom.0815", "root", Model::Full,
                   expect({{"UserCode", "0815"}, {"EnableUserCode", "true"}}), ""},
        // Qt sends "Custom" without text: the user ID comes from the job's user name.
        DialogCase{"QtCustomUsesTheUserName", "JobType=SamplePrint UserID=Custom", "dave",
                   Model::Basic, expect({{"JobType", "Sample Print"}, {"UserID", "dave"}}), ""},
        DialogCase{"PinAloneMakesALockedPrint", "job-password=4321 job-password-encryption=none",
                   "carol", Model::Full,
                   expect({{"JobType", "Locked Print"}, {"UserID", "carol"}, {"Password", "4321"}}),
                   ""},
        DialogCase{
            "PasswordOptionBeforePin", "JobType=LockedPrint Password=Custom.1111 job-password=2222",
            "carol", Model::Full,
            expect({{"JobType", "Locked Print"}, {"UserID", "carol"}, {"Password", "1111"}}), ""},
        DialogCase{"ChosenNormalKeepsThePin", "JobType=Normal job-password=2222", "carol",
                   Model::Full,
                   expect({{"JobType", "Normal"}, {"UserID", ""}, {"Password", "2222"}}), ""},
        DialogCase{"AccountIDGivesTheUserCode", "job-account-id=4711 job-billing=99", "root",
                   Model::Full, expect({{"UserCode", "4711"}, {"EnableUserCode", "true"}}), ""},
        DialogCase{"BillingThatPassesGivesTheUserCode", "job-billing=0042", "root", Model::Full,
                   expect({{"UserCode", "0042"}, {"EnableUserCode", "true"}}), ""},
        DialogCase{"BillingThatFailsIsLeftAside", "job-billing='Dept 42'", "root", Model::Full,
                   expect({}), ""},
        // The long names always win, key by key.
        DialogCase{"LongUserIDWins", kLong + "UserID=zed UserID=Custom.alice JobType=SamplePrint",
                   "root", Model::Full, expect({{"JobType", "Sample Print"}, {"UserID", "zed"}}),
                   ""},
        DialogCase{"LongJobTypeWins", kLong + "JobType='Paused Print' JobType=LockedPrint", "root",
                   Model::Basic, expect({{"JobType", "Paused Print"}}), ""},
        DialogCase{"LongFlagWins", kLong + "EnableUserCode=false UserCode=12", "root", Model::Full,
                   expect({{"UserCode", "12"}, {"EnableUserCode", "false"}}), ""},
        DialogCase{"LongPasswordIsNotChecked",
                   kLong + "Password=12 JobType=LockedPrint UserID=alice", "root", Model::Basic,
                   expect({{"JobType", "Locked Print"}, {"UserID", "alice"}, {"Password", "12"}}),
                   ""},
        DialogCase{"LockedPrintWithoutPassword",
                   "JobType=LockedPrint UserID=Custom.alice",
                   "root",
                   Model::Basic,
                   {},
                   "Locked Print needs a password of 4 digits"},
        DialogCase{"PasswordTooLongForTheModel",
                   "JobType=LockedPrint Password=Custom.12345",
                   "root",
                   Model::Basic,
                   {},
                   "Locked Print needs a password of 4 digits"},
        DialogCase{"PasswordTooLongEvenForLongPasswords",
                   "JobType=LockedPrint Password=123456789",
                   "root",
                   Model::Full,
                   {},
                   "Locked Print needs a password of 4 to 8 digits"},
        DialogCase{"OptionalPasswordOfTheWrongShape",
                   "JobType=SavedPrint UserID=a Password=12",
                   "root",
                   Model::Full,
                   {},
                   "The password for Stored Print must be 4 to 8 digits, or none"},
        DialogCase{"UserNameThatIsNoUserID",
                   "JobType=SamplePrint UserID=None",
                   "Mary Ann",
                   Model::Full,
                   {},
                   "Sample Print needs a user ID of 1 to 8 letters and digits"},
        DialogCase{"UserIDWithASpace",
                   "JobType=LockedPrint UserID='Custom.al ice' Password=1234",
                   "root",
                   Model::Full,
                   {},
                   "Locked Print needs a user ID of 1 to 8 letters and digits"},
        DialogCase{"OptionalUserIDTooLong",
                   "UserID=ninechars",
                   "root",
                   Model::Full,
                   {},
                   "The user ID must be up to 8 letters and digits"},
        DialogCase{"FileNameWithASpace",
                   "JobType=PausedPrint UserID=a FileName='my report'",
                   "root",
                   Model::Full,
                   {},
                   "The file name must be up to 16 letters and digits"},
        DialogCase{"UserCodeWithALetter",
                   "UserCode=Custom.12a4",
                   "root",
                   Model::Full,
                   {},
                   "The user code must be up to 8 digits"},
        // Booleans arrive as libcups gives them: noUserCode is UserCode=false.
        DialogCase{"BooleanFormIsAValue",
                   "noUserCode",
                   "root",
                   Model::Full,
                   {},
                   "The user code must be up to 8 digits"},
        DialogCase{"AccountIDThatIsNoUserCode",
                   "job-account-id=dept-42",
                   "root",
                   Model::Full,
                   {},
                   "The account ID (job-account-id) must be up to 8 digits to serve as the user "
                   "code"},
        DialogCase{"HashedPin",
                   "job-password=4321 job-password-encryption=md5",
                   "root",
                   Model::Full,
                   {},
                   "The PIN (job-password) must come unencrypted (job-password-encryption none): "
                   "the printer checks it itself"},
        DialogCase{"UnknownKeyword",
                   "JobType=Locked",
                   "root",
                   Model::Full,
                   {},
                   "JobType names no job type: use Normal, SamplePrint, LockedPrint, PausedPrint, "
                   "SavedPrint, SaveDocumentPrint or DocumentServer"},
        DialogCase{"NotOfferedByTheModel",
                   "JobType=PausedPrint UserID=a",
                   "root",
                   Model::Basic,
                   {},
                   "This printer does not offer Hold Print (JobType=PausedPrint)"},
        DialogCase{"NoPpdOffersNoStoredPrint",
                   "JobType=SavedPrint UserID=a",
                   "root",
                   Model::NoPpd,
                   {},
                   "This printer does not offer Stored Print (JobType=SavedPrint)"},
        DialogCase{"UnreadablePpdOffersNoDocumentServer",
                   "JobType=DocumentServer",
                   "root",
                   Model::Unreadable,
                   {},
                   "This printer does not offer Document Server (JobType=DocumentServer)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace jobtypefilter::testing
