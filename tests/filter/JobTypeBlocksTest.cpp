// The splice text for every job type, byte for byte, and the reads that fail a block.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "FilterTestSupport.h"
#include "NamedCases.h"
#include "PrintSettingsKeys.h"

namespace jobtypefilter::testing {
namespace {

namespace keys = varlo::printsettings;
using testsupport::PrintTo;

const std::string L = "\n";
const std::string kUserInfoAlice = userInformation("alice", "", L);

struct BlockCase {
    const char* name;
    std::string options;
    std::string expectedBlock;  // what follows the procedure definitions, before the empty line
};

// The job type's own lines, with the fixed time stamp.
std::string block(const std::string& name, GoldenValues values) {
    values.emplace("Time", kFixedCompact);
    return golden(name, values, L);
}

std::vector<BlockCase> blockCases() {
    const std::string user = "com.varlo.printsettings.UserID=alice ";
    const std::string pass = "com.varlo.printsettings.Password=1234 ";
    const std::string file = "com.varlo.printsettings.FileName=report ";
    const std::string paused = "com.varlo.printsettings.JobType='Paused Print' " + user + file;
    const GoldenValues alice{{"UserID", "alice"}};
    const GoldenValues held{{"UserID", "alice"}, {"FileName", "report"}};
    const GoldenValues stored{{"UserID", "alice"}, {"Password", "1234"}, {"FileName", "report"}};
    auto with = [](GoldenValues values, const std::string& name, const std::string& value) {
        values.insert_or_assign(name, value);
        return values;
    };
    return {
        {"NoOptions", "", userInformation("", "", L)},
        {"Normal", "com.varlo.printsettings.JobType=Normal " + user, kUserInfoAlice},
        {"DisplayTitleIsNotAStoredName", "com.varlo.printsettings.JobType='Hold Print' " + user,
         kUserInfoAlice},
        {"LowerCaseNameIsUnknown", "com.varlo.printsettings.JobType='locked print' " + user,
         kUserInfoAlice},
        {"SamplePrint", "com.varlo.printsettings.JobType='Sample Print' " + user,
         kUserInfoAlice + block("sample-print", alice)},
        {"LockedPrint", "com.varlo.printsettings.JobType='Locked Print' " + user + pass,
         kUserInfoAlice + block("locked-print", with(alice, "Password", "1234"))},
        {"LockedPrintEmptyPassword",
         "com.varlo.printsettings.JobType='Locked Print' " + user +
             "com.varlo.printsettings.Password=''",
         kUserInfoAlice + block("locked-print", with(alice, "Password", ""))},
        {"DocumentServer",
         "com.varlo.printsettings.JobType='Document Server' " + user + pass + file,
         kUserInfoAlice + block("document-server", stored)},
        {"SavedPrint", "com.varlo.printsettings.JobType='Saved Print' " + user + pass + file,
         kUserInfoAlice + block("stored-job", with(stored, "Save", "1"))},
        {"SaveDocumentPrint",
         "com.varlo.printsettings.JobType='Save Document Print' " + user + pass + file,
         kUserInfoAlice + block("stored-job", with(stored, "Save", "2"))},
        {"PausedPrintFirstForm", paused, kUserInfoAlice + block("paused-print", held)},
        {"PausedPrintTimeFlagAloneIsIgnored",
         paused + "com.varlo.printsettings.EnableSpecifyTime=true",
         kUserInfoAlice + block("paused-print", held)},
        {"PausedPrintSecondForm", paused + "com.varlo.printsettings.SpecifyTimeKeySupport=TRUE",
         kUserInfoAlice + block("paused-print-with-attributes", held)},
        {"PausedPrintThirdForm",
         paused + "com.varlo.printsettings.SpecifyTimeKeySupport=true "
                  "com.varlo.printsettings.EnableSpecifyTime=True "
                  "com.varlo.printsettings.SpecifyTime=202603021200",
         kUserInfoAlice +
             block("paused-print-with-reserved-time", with(held, "ReservedTime", "202603021200"))},
        {"UserCodeEnabledInCapitals",
         "com.varlo.printsettings.EnableUserCode=TRUE com.varlo.printsettings.UserCode=4711 " +
             user,
         userInformation("alice", "4711", L)},
        {"UserCodeFlagOtherThanTrue",
         "com.varlo.printsettings.EnableUserCode=yes com.varlo.printsettings.UserCode=4711 " + user,
         kUserInfoAlice},
        {"ValuesBetweenParenthesesAreEscaped",
         "com.varlo.printsettings.JobType='Document Server' "
         "com.varlo.printsettings.UserID='a(b' com.varlo.printsettings.Password='1)2' "
         "com.varlo.printsettings.FileName=C:\\\\new\\\\",
         userInformation("a\\(b", "", L) +
             block("document-server",
                   {{"UserID", "a\\(b"}, {"Password", "1\\)2"}, {"FileName", "C:\\\\new\\\\"}})},
        {"NonAsciiBytesPassUnchanged", "com.varlo.printsettings.UserID=J\xC3\xBCrgen",
         userInformation("J\xC3\xBCrgen", "", L)},
        // Control bytes become three-digit octal escapes: no raw line end (a new line of the job),
        // ESC (the switch to the printer's job language) or ^D reaches the stream, and a digit
        // after an escape stays a digit of its own.
        {"ControlBytesBecomeOctalEscapes",
         "com.varlo.printsettings.UserID='\r\n%%EOF\x1b%-12345X\x04\x7f\x01"
         "9'",
         userInformation("\\015\\012%%EOF\\033%-12345X\\004\\177\\0019", "", L)},
    };
}

class JobTypeBlockTest : public FixedClockTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(JobTypeBlockTest, WritesTheBlockBeforeTheToken) {
    const BlockCase& c = GetParam();
    const std::string job = jobWithProlog(L);
    const FilterRun run = runFilter(c.options, job);
    ASSERT_EQ(run.result, 0) << "status " << static_cast<int>(run.status);
    const std::string head = "%!PS-Adobe-3.0\n%%EndComments\n";
    const std::string expected =
        head + procedureDefinitions(L) + c.expectedBlock + L + job.substr(head.size());
    EXPECT_EQ(run.output, expected);
}

INSTANTIATE_TEST_SUITE_P(AllJobTypes, JobTypeBlockTest, ::testing::ValuesIn(blockCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct FailingCase {
    const char* name;
    std::string options;
    FilterStatus expectedStatus;
    std::string reason;  // names what stopped the job, whatever status came first
};

class FailingBlockTest : public FixedClockTest,
                         public ::testing::WithParamInterface<FailingCase> {};

// A block that cannot be written leaves exactly the bytes before the token.
TEST_P(FailingBlockTest, WritesNothingOfTheSplice) {
    const FailingCase& c = GetParam();
    const std::string job = jobWithProlog(L);
    const FilterRun run = runFilter(c.options, job);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.status, c.expectedStatus);
    EXPECT_EQ(run.reason, c.reason);
    EXPECT_EQ(run.output, "%!PS-Adobe-3.0\n%%EndComments\n");
}

std::string missing(const char* key) {
    return std::string("missing job option ") + key;
}

INSTANTIATE_TEST_SUITE_P(
    MissingKeys, FailingBlockTest,
    ::testing::Values(
        FailingCase{"SampleWithoutUserID", "com.varlo.printsettings.JobType='Sample Print'",
                    FilterStatus::RequiredMissing, missing(keys::kUserID)},
        FailingCase{"LockedWithoutPassword",
                    "com.varlo.printsettings.JobType='Locked Print' "
                    "com.varlo.printsettings.UserID=a",
                    FilterStatus::RequiredMissing, missing(keys::kPassword)},
        FailingCase{"DocumentServerWithoutFileName",
                    "com.varlo.printsettings.JobType='Document Server' "
                    "com.varlo.printsettings.UserID=a com.varlo.printsettings.Password=1 "
                    "com.varlo.printsettings.EnableUserCode=true",
                    FilterStatus::RequiredMissing, missing(keys::kFileName)},
        FailingCase{"SavedWithoutUserID",
                    "com.varlo.printsettings.JobType='Saved Print' "
                    "com.varlo.printsettings.Password=1 com.varlo.printsettings.FileName=f",
                    FilterStatus::RequiredMissing, missing(keys::kUserID)},
        FailingCase{"PausedWithoutFileName",
                    "com.varlo.printsettings.JobType='Paused Print' "
                    "com.varlo.printsettings.UserID=a",
                    FilterStatus::RequiredMissing, missing(keys::kFileName)},
        FailingCase{"PausedWithoutReservedTime",
                    "com.varlo.printsettings.JobType='Paused Print' "
                    "com.varlo.printsettings.UserID=a com.varlo.printsettings.FileName=f "
                    "com.varlo.printsettings.SpecifyTimeKeySupport=true "
                    "com.varlo.printsettings.EnableSpecifyTime=true",
                    FilterStatus::RequiredMissing, missing(keys::kSpecifyTime)},
        // The absent user ID is recorded first and the job would go on; the user code stops it.
        FailingCase{"DefaultWithEnabledUserCodeMissing",
                    "com.varlo.printsettings.EnableUserCode=TRUE", FilterStatus::RequiredMissing,
                    missing(keys::kUserCode)},
        // A Normal job may lack its user ID: the bad size stops it, and is what the reason names.
        FailingCase{"NormalWithoutUserIDAndAnUnsafeSize",
                    "com.varlo.printsettings.CCPCopyControlType='Copy Guard' "
                    "com.varlo.printsettings.CCPFont=F com.varlo.printsettings.CCPSize=1e39 "
                    "com.varlo.printsettings.CCPAngle=0 com.varlo.printsettings.CCPLineSpace=1",
                    FilterStatus::RequiredMissing,
                    "job option com.varlo.printsettings.CCPSize is a number beyond a PostScript "
                    "interpreter's limits (0 or 1e-38 to 3.4e38 in magnitude, at most 64 "
                    "characters, radix numbers up to 31 bits)"},
        // A marking text over its budget is a note; the missing line space after it is named.
        FailingCase{"BudgetNoteThenMissingLineSpace",
                    "com.varlo.printsettings.UserID=u "
                    "com.varlo.printsettings.CCPCopyControlType='Copy Guard' "
                    "com.varlo.printsettings.CCPFont=F com.varlo.printsettings.CCPSize=1 "
                    "com.varlo.printsettings.CCPAngle=0 "
                    "com.varlo.printsettings.CCPTextType='PrintJob Name' "
                    "com.varlo.printsettings.CCPJobName=" +
                        std::string(300, 'j'),
                    FilterStatus::SpliceFailed, missing(keys::kCCPLineSpace)},
        FailingCase{"SizeThatIsNoNumber",
                    "com.varlo.printsettings.UserID=u "
                    "com.varlo.printsettings.CCPCopyControlType='Copy Guard' "
                    "com.varlo.printsettings.CCPFont=F com.varlo.printsettings.CCPSize=quit "
                    "com.varlo.printsettings.CCPAngle=0 com.varlo.printsettings.CCPLineSpace=1",
                    FilterStatus::SpliceFailed,
                    "job option com.varlo.printsettings.CCPSize is not a PostScript number"},
        // The values have no length limit: a splice over the buffer is refused whole.
        FailingCase{"SpliceLargerThanItsBuffer",
                    "com.varlo.printsettings.UserID=" + std::string(1200, 'u'),
                    FilterStatus::SpliceFailed,
                    "the inserted PostScript with its values escaped is longer than its 2047 "
                    "bytes"},
        // Escapes count: 500 control bytes take 2000 bytes.
        FailingCase{"EscapedValuesLargerThanTheBuffer",
                    "com.varlo.printsettings.UserID='" + std::string(500, '\x01') + "'",
                    FilterStatus::SpliceFailed,
                    "the inserted PostScript with its values escaped is longer than its 2047 "
                    "bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FixedClockTest, AbsentUserIDIsRecordedButTheDefaultBlockGoesOn) {
    const FilterRun run = runFilter("", jobWithProlog(L));
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.status, FilterStatus::RequiredMissing);
}

TEST_F(FixedClockTest, LargestSpliceThatFitsIsWrittenWhole) {
    // 2047 bytes of text is the most the buffer holds; one byte more is refused.
    const std::string prefix = "%!PS\n";
    const std::size_t fixedPart =
        procedureDefinitions(L).size() + userInformation("", "", L).size() + L.size();
    const std::size_t room = 2047 - fixedPart;
    const FilterRun fits = runFilter("com.varlo.printsettings.UserID=" + std::string(room, 'u'),
                                     prefix + "%%BeginProlog\n");
    ASSERT_EQ(fits.result, 0);
    EXPECT_EQ(fits.output.size(), prefix.size() + 2047 + 14);
    const FilterRun over = runFilter("com.varlo.printsettings.UserID=" + std::string(room + 1, 'u'),
                                     prefix + "%%BeginProlog\n");
    EXPECT_EQ(over.result, 1);
    EXPECT_EQ(over.output, prefix);
}

TEST(ProcedureDefinitions, TakeTheirSizeInEveryLineEnding) {
    EXPECT_EQ(procedureDefinitions("\n").size(), 796u);
    EXPECT_EQ(procedureDefinitions("\r\n").size(), 835u);
    for (const std::string ending : {"\n", "\r", "\r\n"}) {
        const std::string job = "%!PS" + ending + "%%BeginProlog" + ending;
        const FilterRun run = runFilter("com.varlo.printsettings.UserID=a", job);
        ASSERT_EQ(run.result, 0);
        const std::string head = "%!PS" + ending;
        EXPECT_EQ(run.output.substr(head.size(), procedureDefinitions(ending).size()),
                  procedureDefinitions(ending));
        // The empty line closing the splice uses the job's line ending too.
        EXPECT_EQ(run.output.substr(run.output.size() - 2 * ending.size() - 13),
                  ending + "%%BeginProlog" + ending);
    }
}

// The time stamp follows the zone that the TimeZone option names.
struct ZoneCase {
    const char* option;
    const char* expectedCompact;
};

void PrintTo(const ZoneCase& c, std::ostream* os) {
    *os << (c.option[0] ? c.option : "inherited");
}

class TimeZoneOptionTest : public FixedClockTest, public ::testing::WithParamInterface<ZoneCase> {};

TEST_P(TimeZoneOptionTest, StampsTheZonesWallClock) {
    const ZoneCase& c = GetParam();
    FilterHooks hooks;
    hooks.setTimeZone = applyTimeZone;
    const std::string options =
        c.option[0] != '\0' ? std::string("com.varlo.printsettings.TimeZone=") + c.option : "";
    const FilterRun run =
        runFilter(options + " com.varlo.printsettings.UserID=a", "%%BeginProlog\n", hooks);
    ASSERT_EQ(run.result, 0);
    EXPECT_NE(run.output.find(std::string("(a) () (") + c.expectedCompact + ")"), std::string::npos)
        << run.output.substr(796);
}

INSTANTIATE_TEST_SUITE_P(Zones, TimeZoneOptionTest,
                         ::testing::Values(ZoneCase{"", "202603020905"},  // inherited UTC
                                           ZoneCase{"JST-9", "202603021805"},
                                           ZoneCase{"EST5", "202603020405"},
                                           ZoneCase{"IST-5:30", "202603021435"},
                                           ZoneCase{"'<+0545>-5:45'", "202603021450"}));

}  // namespace
}  // namespace jobtypefilter::testing
