// The print dialogs' options turned into the filter's keys, over real PPDs read by libcups: what
// the rest of the filter then reads, or the reason the job is refused.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

#include "DialogOptions.h"
#include "FilterStatus.h"
#include "JobOptions.h"
#include "NamedCases.h"
#include "PrintSettingsKeys.h"

namespace jobtypefilter::testing {
namespace {

namespace keys = varlo::printsettings;
using testsupport::PrintTo;

// The family's office model (every job type, passwords of 4 to 8 digits) and its MP 2000 (no held
// or stored jobs, passwords of 4 digits); no PPD, and one that cannot be read.
constexpr const char* kFull = JOBLOG_DIALOG_PPDS "/kordavine-office.ppd";
constexpr const char* kBasic = JOBLOG_DIALOG_PPDS "/kordavine-office-mp2000.ppd";
constexpr const char* kNoPpd = nullptr;
constexpr const char* kUnreadable = JOBLOG_DIALOG_PPDS "/no-such.ppd";

// The six keys the step may fill that are present, by short name.
using Keys = std::map<std::string, std::string>;

Keys keysOf(const JobOptions& options) {
    Keys found;
    for (const char* name :
         {"JobType", "UserID", "Password", "FileName", "UserCode", "EnableUserCode"}) {
        if (const char* value = options.get((std::string(keys::kKeyPrefix) + name).c_str()))
            found[name] = value;
    }
    return found;
}

struct DialogCase {
    const char* name;
    std::string options;
    const char* user;
    const char* ppd;
    Keys keys;                 // when the options pass
    std::string refusal = "";  // when they do not
};

class DialogOptionsTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogOptionsTest, FillsTheKeysOrRefusesTheJob) {
    const DialogCase& c = GetParam();
    resetFilterStatus();
    JobOptions options(c.options.c_str());
    const bool passed = translateDialogOptions(options, JobOrigin{c.user, c.ppd});
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
        DialogCase{"NoDialogOptionsChangeNothing", "copies=2 " + kLong + "UserID=u", "alice", kFull,
                   Keys{{"UserID", "u"}}},
        // GTK sends every option of the PPD, the defaults included.
        DialogCase{"GtkDefaults",
                   "JobType=Normal UserID=None Password=None FileName=None UserCode=None", "alice",
                   kFull, Keys{{"JobType", "Normal"}, {"UserID", ""}}},
        DialogCase{
            "GtkLockedPrint",
            "JobType=LockedPrint UserID=Custom.alice Password=Custom.12345678 FileName=None "
            "UserCode=None",
            "root", kFull,
            Keys{{"JobType", "Locked Print"}, {"UserID", "alice"}, {"Password", "12345678"}}},
        DialogCase{"LpPlainValues", "JobType=PausedPrint UserID=bob FileName=report", "root", kFull,
                   Keys{{"JobType", "Paused Print"}, {"UserID", "bob"}, {"FileName", "report"}}},
        // Optional values nobody gave stand empty, as the panel writes them.
        DialogCase{"HoldPrintWithoutFileName", "JobType=PausedPrint UserID=bob", "root", kFull,
                   Keys{{"JobType", "Paused Print"}, {"UserID", "bob"}, {"FileName", ""}}},
        DialogCase{
            "StoredPrintWithoutPassword", "JobType=SavedPrint UserID=bob", "root", kFull,
            Keys{
                {"JobType", "Saved Print"}, {"UserID", "bob"}, {"Password", ""}, {"FileName", ""}}},
        DialogCase{"DocumentServerNeedsNoUserID", "JobType=DocumentServer", "Mary Ann", kFull,
                   Keys{{"JobType", "Document Server"},
                        {"UserID", ""},
                        {"Password", ""},
                        {"FileName", ""}}},
        DialogCase{"UserCodeTurnsItOn", "UserCode=Custom.0815", "root", kFull,
                   Keys{{"UserCode", "0815"}, {"EnableUserCode", "true"}}},
        // Qt sends "Custom" without text: the user ID comes from the job's user name.
        DialogCase{"QtCustomUsesTheUserName", "JobType=SamplePrint UserID=Custom", "dave", kBasic,
                   Keys{{"JobType", "Sample Print"}, {"UserID", "dave"}}},
        DialogCase{"PinAloneMakesALockedPrint", "job-password=4321 job-password-encryption=none",
                   "carol", kFull,
                   Keys{{"JobType", "Locked Print"}, {"UserID", "carol"}, {"Password", "4321"}}},
        DialogCase{"PasswordOptionBeforePin",
                   "JobType=LockedPrint Password=Custom.1111 job-password=2222", "carol", kFull,
                   Keys{{"JobType", "Locked Print"}, {"UserID", "carol"}, {"Password", "1111"}}},
        DialogCase{"ChosenNormalKeepsThePin", "JobType=Normal job-password=2222", "carol", kFull,
                   Keys{{"JobType", "Normal"}, {"UserID", ""}, {"Password", "2222"}}},
        DialogCase{"AccountIDGivesTheUserCode", "job-account-id=4711 job-billing=99", "root", kFull,
                   Keys{{"UserCode", "4711"}, {"EnableUserCode", "true"}}},
        DialogCase{"BillingThatPassesGivesTheUserCode", "job-billing=0042", "root", kFull,
                   Keys{{"UserCode", "0042"}, {"EnableUserCode", "true"}}},
        DialogCase{"BillingThatFailsIsLeftAside", "job-billing='Dept 42'", "root", kFull, Keys{}},
        // The long names always win, key by key.
        DialogCase{"LongUserIDWins", kLong + "UserID=zed UserID=Custom.alice JobType=SamplePrint",
                   "root", kFull, Keys{{"JobType", "Sample Print"}, {"UserID", "zed"}}},
        DialogCase{"LongJobTypeWins", kLong + "JobType='Paused Print' JobType=LockedPrint", "root",
                   kBasic, Keys{{"JobType", "Paused Print"}}},
        DialogCase{"LongFlagWins", kLong + "EnableUserCode=false UserCode=12", "root", kFull,
                   Keys{{"UserCode", "12"}, {"EnableUserCode", "false"}}},
        DialogCase{"LongPasswordIsNotChecked",
                   kLong + "Password=12 JobType=LockedPrint UserID=alice", "root", kBasic,
                   Keys{{"JobType", "Locked Print"}, {"UserID", "alice"}, {"Password", "12"}}},
        DialogCase{"LockedPrintWithoutPassword", "JobType=LockedPrint UserID=Custom.alice", "root",
                   kBasic, Keys{}, "Locked Print needs a password of 4 digits"},
        DialogCase{"PasswordTooLongForTheModel", "JobType=LockedPrint Password=Custom.12345",
                   "root", kBasic, Keys{}, "Locked Print needs a password of 4 digits"},
        DialogCase{"PasswordTooLongEvenForLongPasswords", "JobType=LockedPrint Password=123456789",
                   "root", kFull, Keys{}, "Locked Print needs a password of 4 to 8 digits"},
        DialogCase{"OptionalPasswordOfTheWrongShape", "JobType=SavedPrint UserID=a Password=12",
                   "root", kFull, Keys{},
                   "The password for Stored Print must be 4 to 8 digits, or none"},
        DialogCase{"UserNameThatIsNoUserID", "JobType=SamplePrint UserID=None", "Mary Ann", kFull,
                   Keys{}, "Sample Print needs a user ID of 1 to 8 letters and digits"},
        DialogCase{"UserIDWithASpace", "JobType=LockedPrint UserID='Custom.al ice' Password=1234",
                   "root", kFull, Keys{},
                   "Locked Print needs a user ID of 1 to 8 letters and digits"},
        DialogCase{"OptionalUserIDTooLong", "UserID=ninechars", "root", kFull, Keys{},
                   "The user ID must be up to 8 letters and digits"},
        DialogCase{"FileNameWithASpace", "JobType=PausedPrint UserID=a FileName='my report'",
                   "root", kFull, Keys{}, "The file name must be up to 16 letters and digits"},
        DialogCase{"UserCodeWithALetter", "UserCode=Custom.12a4", "root", kFull, Keys{},
                   "The user code must be up to 8 digits"},
        // Booleans arrive as libcups gives them: noUserCode is UserCode=false.
        DialogCase{"BooleanFormIsAValue", "noUserCode", "root", kFull, Keys{},
                   "The user code must be up to 8 digits"},
        DialogCase{"AccountIDThatIsNoUserCode", "job-account-id=dept-42", "root", kFull, Keys{},
                   "The account ID (job-account-id) must be up to 8 digits to serve as the user "
                   "code"},
        DialogCase{"HashedPin", "job-password=4321 job-password-encryption=md5", "root", kFull,
                   Keys{},
                   "The PIN (job-password) must come unencrypted (job-password-encryption none): "
                   "the printer checks it itself"},
        DialogCase{"UnknownKeyword", "JobType=Locked", "root", kFull, Keys{},
                   "JobType names no job type: use Normal, SamplePrint, LockedPrint, PausedPrint, "
                   "SavedPrint, SaveDocumentPrint or DocumentServer"},
        DialogCase{"NotOfferedByTheModel", "JobType=PausedPrint UserID=a", "root", kBasic, Keys{},
                   "This printer does not offer Hold Print (JobType=PausedPrint)"},
        DialogCase{"NoPpdOffersNoStoredPrint", "JobType=SavedPrint UserID=a", "root", kNoPpd,
                   Keys{}, "This printer does not offer Stored Print (JobType=SavedPrint)"},
        DialogCase{"UnreadablePpdOffersNoDocumentServer", "JobType=DocumentServer", "root",
                   kUnreadable, Keys{},
                   "This printer does not offer Document Server (JobType=DocumentServer)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace jobtypefilter::testing
