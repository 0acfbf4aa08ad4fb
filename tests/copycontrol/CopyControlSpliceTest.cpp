// The marking block inside the whole filter run: the hand-off from the splice builder, the
// splice limits, and what reaches the output when the block fails.
#include <gtest/gtest.h>

#include <string>

#include "FilterStatus.h"
#include "FixedClock.h"
#include "JobClock.h"
#include "MemoryJobStreams.h"
#include "NamedCases.h"
#include "PrintSettingsKeys.h"
#include "StreamSplice.h"
#include "TestOptions.h"

namespace jobtypefilter {
namespace {

namespace keys = varlo::printsettings;
using testing::fixedClock;
using testing::kGuardBlockWithRequiredKeys;
using testing::MemoryJobInput;
using testing::MemoryJobOutput;
using testing::OptionList;
using testing::optionsString;
using testing::requiredMarkingKeys;
using testing::withOptions;
using testsupport::PrintTo;

const std::string kBefore = "%!PS-Adobe-3.0\n%%Title: test\n";
const std::string kFromToken = "%%BeginProlog\n/x 1 def\n%%EndProlog\nshowpage\n";

struct RunResult {
    int result;
    std::string output;
    FilterStatus status;
    // The text between the bytes before the token and the token, when the output has that shape.
    std::string splice;
};

RunResult runFilter(const OptionList& options, const std::string& before = kBefore,
                    const std::string& fromToken = kFromToken) {
    applyTimeZone("UTC");
    setClockSource(fixedClock);
    const std::string job = before + fromToken;
    MemoryJobInput input(job);
    MemoryJobOutput output;
    const std::string text = optionsString(options);
    const int result = runJobTypeFilter(text.c_str(), input, output, FilterHooks{});
    setClockSource(nullptr);
    RunResult r{result, output.written(), filterStatus(), ""};
    const std::string& out = output.written();
    if (out.size() >= job.size() && out.starts_with(before) && out.ends_with(fromToken)) {
        r.splice = out.substr(before.size(), out.size() - job.size());
    }
    return r;
}

OptionList copyGuard(const OptionList& more = {}) {
    // A user ID keeps the default job-type block from recording its own status.
    return withOptions(
        requiredMarkingKeys({{keys::kCCPCopyControlType, "Copy Guard"}, {keys::kUserID, "alice"}}),
        more);
}

// The default job-type block ends with this line; what follows it is the copy-control part.
const std::string kUserInfoEnd = "{setuserinfo} stopped\ncleartomark\n";

std::string afterJobTypeBlock(const std::string& splice) {
    const auto at = splice.find(kUserInfoEnd);
    return at == std::string::npos ? "<no job-type block>"
                                   : splice.substr(at + kUserInfoEnd.size());
}

struct HandOffCase {
    const char* name;
    OptionList options;
    std::string copyControlPart;
};

class HandOffTest : public ::testing::TestWithParam<HandOffCase> {};

TEST_P(HandOffTest, EndsTheSpliceWithTheCopyControlPart) {
    const RunResult r = runFilter(GetParam().options);
    ASSERT_EQ(r.result, 0);
    EXPECT_EQ(afterJobTypeBlock(r.splice), GetParam().copyControlPart);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandOffTest,
    ::testing::Values(
        HandOffCase{"NoCopyControlKey", requiredMarkingKeys(), "\n"},
        HandOffCase{"Off", requiredMarkingKeys({{keys::kCCPCopyControlType, "Off"}}), "\n"},
        HandOffCase{"UnknownType", requiredMarkingKeys({{keys::kCCPCopyControlType, "copy guard"}}),
                    "\n"},
        // Without copy control the marking keys are not needed.
        HandOffCase{"OffWithoutAnyMarkingKey", {{keys::kCCPCopyControlType, "Off"}}, "\n"},
        HandOffCase{"CopyGuard", copyGuard(), kGuardBlockWithRequiredKeys}),
    [](const auto& info) { return std::string(info.param.name); });

// A failed splice leaves exactly the bytes before the token, and the first status stays.
struct FailedSpliceCase {
    const char* name;
    OptionList options;
    FilterStatus status;
};

class FailedSpliceTest : public ::testing::TestWithParam<FailedSpliceCase> {};

TEST_P(FailedSpliceTest, LeavesOnlyTheBytesBeforeTheToken) {
    const RunResult r = runFilter(GetParam().options);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.output, kBefore);
    EXPECT_EQ(r.status, GetParam().status);
}

const std::string kLongUserID(700, 'U');

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedSpliceTest,
    ::testing::Values(
        FailedSpliceCase{"MissingFont",
                         {{keys::kCCPCopyControlType, "Prevention Copy Pattern"},
                          {keys::kUserID, "alice"},
                          {keys::kCCPSize, "1"},
                          {keys::kCCPAngle, "1"},
                          {keys::kCCPLineSpace, "1"}},
                         FilterStatus::RequiredMissing},
        FailedSpliceCase{"UnsafeSize", copyGuard({{keys::kCCPSize, "12 quit"}}),
                         FilterStatus::SpliceFailed},
        FailedSpliceCase{"JobNameOverItsLimit",
                         copyGuard({{keys::kCCPTextType, "PrintJob Name"},
                                    {keys::kCCPJobName, std::string(4096, 'j')}}),
                         FilterStatus::SpliceFailed},
        FailedSpliceCase{"BlockOverTheArea", copyGuard({{keys::kCCPFont, std::string(1000, 'F')}}),
                         FilterStatus::SpliceFailed},
        // Each part fits its own area; together with a long user ID they do not fit the splice.
        FailedSpliceCase{
            "SpliceOverItsBuffer",
            copyGuard({{keys::kUserID, kLongUserID}, {keys::kCCPFont, std::string(600, 'F')}}),
            FilterStatus::SpliceFailed},
        // A job-type block that fails reads no copy-control key.
        FailedSpliceCase{"JobTypeBlockFailsFirst", copyGuard({{keys::kJobType, "Locked Print"}}),
                         FilterStatus::RequiredMissing}),
    [](const auto& info) { return std::string(info.param.name); });

// The splice buffer holds 2047 bytes: a splice of exactly that length goes out whole, one
// byte more fails the job before anything of the splice is written.
TEST(CopyControlSpliceTest, SpliceFillsItsBufferExactly) {
    const RunResult base =
        runFilter(copyGuard({{keys::kCCPFont, std::string(600, 'F')}, {keys::kUserID, ""}}));
    ASSERT_EQ(base.result, 0);
    ASSERT_FALSE(base.splice.empty());
    const std::size_t room = 2047 - base.splice.size();
    const RunResult full = runFilter(copyGuard(
        {{keys::kCCPFont, std::string(600, 'F')}, {keys::kUserID, std::string(room, 'U')}}));
    EXPECT_EQ(full.result, 0);
    EXPECT_EQ(full.splice.size(), 2047u);
    const RunResult over = runFilter(copyGuard(
        {{keys::kCCPFont, std::string(600, 'F')}, {keys::kUserID, std::string(room + 1, 'U')}}));
    EXPECT_EQ(over.result, 1);
    EXPECT_EQ(over.output, kBefore);
    EXPECT_EQ(over.status, FilterStatus::SpliceFailed);
}

// An exceeded text budget is recorded but the job goes on: exit 0 with the block written.
TEST(CopyControlSpliceTest, ExceededBudgetEndsNormally) {
    const RunResult r = runFilter(copyGuard(
        {{keys::kCCPTextType, "PrintJob Name"}, {keys::kCCPJobName, std::string(260, 'j')}}));
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(afterJobTypeBlock(r.splice), kGuardBlockWithRequiredKeys);
    EXPECT_EQ(r.status, FilterStatus::SpliceFailed);
}

// A CR LF job gets CR LF after every line of the splice, the marking block's included.
TEST(CopyControlSpliceTest, CrLfJobGetsCrLfThroughout) {
    const RunResult r =
        runFilter(copyGuard({{keys::kCCPRepeat, "Repeat"}}), "%!PS-Adobe-3.0\r\n%%Title: test\r\n",
                  "%%BeginProlog\r\n%%EndProlog\r\n");
    ASSERT_EQ(r.result, 0);
    ASSERT_NE(r.splice.find("/StringLoopToggle false\r\n>>\r\n>>\r\n"), std::string::npos);
    ASSERT_TRUE(r.splice.ends_with("} stopped cleartomark\r\n\r\n"));
    for (std::size_t i = 0; i < r.splice.size(); ++i) {
        if (r.splice[i] == '\n') {
            ASSERT_TRUE(i > 0 && r.splice[i - 1] == '\r') << "bare LF at " << i;
        }
        if (r.splice[i] == '\r') {
            ASSERT_TRUE(i + 1 < r.splice.size() && r.splice[i + 1] == '\n') << "bare CR at " << i;
        }
    }
}

}  // namespace
}  // namespace jobtypefilter
