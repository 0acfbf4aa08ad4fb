// Where the splice lands in the stream: line starts, the carry between two reads, line endings,
// jobs without the token, and failures of the input and the output.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "FilterTestSupport.h"
#include "JobOptions.h"
#include "NamedCases.h"
#include "SpliceText.h"

namespace jobtypefilter::testing {
namespace {

using testsupport::PrintTo;

const std::string kOptions = "com.varlo.printsettings.UserID=alice";

// The splice for kOptions in the given line ending, built once through the builder itself; the
// byte-exact text is checked in the block tests.
std::string spliceFor(const std::string& L) {
    const JobOptions options(kOptions.c_str());
    char storage[kSpliceBufferSize];
    BoundedText text(storage);
    const std::string held = "x" + L + "%%BeginProlog" + L;
    EXPECT_EQ(buildSpliceText(options, text, reinterpret_cast<const unsigned char*>(held.data()),
                              held.size()),
              0);
    return std::string(text.view());
}

class StreamSpliceTest : public FixedClockTest {};

// A token line beginning at every offset around the end of the first read, so that it starts
// inside the first read, is split between two reads, or begins the second read.
TEST_F(StreamSpliceTest, FindsTheTokenAtEveryOffsetAroundTheReadBoundary) {
    const std::string splice = spliceFor("\n");
    const std::vector<std::vector<std::size_t>> pieceSets = {{}, {4096}, {1}, {4090, 7}};
    for (const auto& pieces : pieceSets) {
        for (std::size_t offset = 4080; offset <= 4100; ++offset) {
            const std::string before = std::string(offset - 1, 'a') + "\n";
            const std::string after = "%%BeginProlog\n/x 1 def\n" + std::string(9000, 'z');
            const FilterRun run = runFilter(kOptions, before + after, {}, pieces);
            ASSERT_EQ(run.result, 0) << offset;
            EXPECT_EQ(run.output, before + splice + after)
                << "token at offset " << offset << ", reads in " << pieces.size() << " sizes";
        }
    }
}

TEST_F(StreamSpliceTest, TokenSplitRightAfterItsFirstByte) {
    // The first read ends with "%": one byte carried.
    const std::string before = std::string(4094, 'a') + "\n";
    const std::string job = before + "%%BeginProlog\n";
    const FilterRun run = runFilter(kOptions, job);
    EXPECT_EQ(run.output, before + spliceFor("\n") + "%%BeginProlog\n");
}

struct PlacementCase {
    const char* name;
    std::string before;  // bytes written ahead of the splice
    std::string after;   // bytes from the token on; empty: no splice expected
    std::string L;
};

class PlacementTest : public FixedClockTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PlacementTest, SplicesOnlyBeforeTheFirstTokenLine) {
    const PlacementCase& c = GetParam();
    const FilterRun run = runFilter(kOptions, c.before + c.after);
    ASSERT_EQ(run.result, 0);
    const std::string expected = c.after.empty() ? c.before : c.before + spliceFor(c.L) + c.after;
    EXPECT_EQ(run.output, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, PlacementTest,
    ::testing::Values(
        PlacementCase{"TokenFirst", "", "%%BeginProlog\n%%EndProlog\n", "\n"},
        PlacementCase{"CRJob", "%!PS\r%%Title: x\r", "%%BeginProlog\r/x 1 def\r", "\r"},
        PlacementCase{"CRLFJob", "%!PS\r\n", "%%BeginProlog\r\n/x 1 def\r\n", "\r\n"},
        PlacementCase{"EmptyLinesBefore", "%!PS\r\n\r\n\r\n", "%%BeginProlog\r\n", "\r\n"},
        PlacementCase{"LongerWordAfterToken", "%!PS\n", "%%BeginPrologue and more\n", "\n"},
        PlacementCase{"OnlyTheFirstOfTwoTokenLines", "%!PS\n",
                      "%%BeginProlog\n%%EndProlog\n%%BeginProlog\n", "\n"},
        PlacementCase{"TokenWithoutLineEndAtEnd", "%!PS\n", "%%BeginProlog", "\n"},
        PlacementCase{"BlanksBeforeTheToken", "%!PS\n  %%BeginProlog\n", "", "\n"},
        PlacementCase{"TokenInsideALine", "%!PS\nx%%BeginProlog\n", "", "\n"},
        PlacementCase{"LowerCaseToken", "%!PS\n%%beginprolog\n", "", "\n"},
        PlacementCase{"EndsInsideTheToken", "%!PS\n%%Begin", "", "\n"},
        PlacementCase{"EndsInsideTheTokenAtTheReadBoundary",
                      std::string(4095, 'a') + "\n" + "%%Begin", "", "\n"},
        PlacementCase{"Empty", "", "", "\n"},
        PlacementCase{"ExactlyOneRead", std::string(4095, 'a') + "\n", "", "\n"},
        PlacementCase{"ExactlyThreeReads", std::string(3 * 4096, 'b'), "", "\n"},
        // A read that begins at the token text in the middle of a line finds nothing there:
        // the byte before the read is no line end.
        PlacementCase{"ReadBeginningAtTheTokenMidLine", std::string(4096, 'c') + "%%BeginProlog\n",
                      "", "\n"},
        PlacementCase{"ReadBeginningAtTheTokenMidCommentThenTheTokenLine",
                      "%!PS\n%" + std::string(4090, 'c') + "%%BeginProlog here\n",
                      "%%BeginProlog\n/x 1 def\n", "\n"},
        // A read that begins at the token right after a line end still finds it.
        PlacementCase{"ReadBeginningAtTheTokenAfterLF", std::string(4095, 'c') + "\n",
                      "%%BeginProlog\n", "\n"},
        PlacementCase{"ReadBeginningAtTheTokenAfterCR", "%!PS\r" + std::string(4090, 'c') + "\r",
                      "%%BeginProlog\r/x 1 def\r", "\r"},
        PlacementCase{"ExactlyOneReadAfterTheToken", "%!PS\n",
                      "%%BeginProlog\n" + std::string(4096 - 19, 'd') + std::string(4096, 'e'),
                      "\n"}),
    [](const auto& info) { return std::string(info.param.name); });

int idleWaits = 0;
void countIdleWait() {
    ++idleWaits;
}

TEST_F(StreamSpliceTest, WaitsOnceWhenTheLastReadBringsNothing) {
    FilterHooks hooks;
    hooks.waitForInput = countIdleWait;
    for (const std::size_t size : {std::size_t{0}, std::size_t{4096}, std::size_t{8192}}) {
        idleWaits = 0;
        const FilterRun run = runFilter(kOptions, std::string(size, 'q'), hooks);
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.output.size(), size);
        EXPECT_EQ(idleWaits, 1) << size;
    }
}

struct IoFailureCase {
    const char* name;
    std::size_t inputFailsAfter;
    std::size_t outputCapacity;
    bool finishFails;
    FilterStatus expectedStatus;
    std::size_t expectedOutput;
};

class IoFailureTest : public FixedClockTest, public ::testing::WithParamInterface<IoFailureCase> {};

TEST_P(IoFailureTest, RecordsTheFirstFailure) {
    const IoFailureCase& c = GetParam();
    const std::string before = std::string(5000, 'a') + "\n";
    const std::string job = before + "%%BeginProlog\n" + std::string(9000, 'z');
    MemoryJobInput input(job, c.inputFailsAfter);
    input.serveInPieces({4096});  // whole fillings, so that a failure falls between two
    MemoryJobOutput output(c.outputCapacity);
    if (c.finishFails) output.failOnFinish();
    const int result = runJobTypeFilter(kOptions.c_str(), input, output, {});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(filterStatus(), c.expectedStatus);
    EXPECT_EQ(output.written().size(), c.expectedOutput);
    // What was written before the failure is exactly the start of the complete output.
    const std::string complete = before + spliceFor("\n") + job.substr(before.size());
    EXPECT_EQ(output.written(), complete.substr(0, c.expectedOutput));
}

INSTANTIATE_TEST_SUITE_P(Failures, IoFailureTest,
                         ::testing::Values(
                             // The first read fails: nothing written.
                             IoFailureCase{"ReadFailsAtOnce", 100, std::string::npos, false,
                                           FilterStatus::ReadFailed, 0},
                             // The second read fails: the first 4096 bytes are out.
                             IoFailureCase{"ReadFailsLater", 5000, std::string::npos, false,
                                           FilterStatus::ReadFailed, 4096},
                             IoFailureCase{"OutputRefusesAtOnce", std::string::npos, 0, false,
                                           FilterStatus::WriteFailed, 0},
                             IoFailureCase{"OutputClosesAfterTheFirstRead", std::string::npos, 4096,
                                           false, FilterStatus::WriteFailed, 4096},
                             // A failed final flush is a failed write, not success.
                             IoFailureCase{"FinalFlushFails", std::string::npos, std::string::npos,
                                           true, FilterStatus::WriteFailed,
                                           5001 + 14 + 9000 + 796 +
                                               userInformation("alice", "", "\n").size() + 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// The first true line start that holds the token, or whose bytes up to the end begin it.
TokenLine referenceTokenLine(const std::string& bytes, std::size_t from, bool lineEndBeforeFrom) {
    const std::string token = kPrologToken;
    for (std::size_t at = from; at < bytes.size(); ++at) {
        const bool lineStart =
            at == from ? lineEndBeforeFrom : bytes[at - 1] == '\n' || bytes[at - 1] == '\r';
        if (!lineStart) continue;
        const std::string rest = bytes.substr(at, token.size());
        if (rest == token) return {TokenMatch::Found, at};
        if (token.starts_with(rest)) return {TokenMatch::Partial, at};
    }
    return {TokenMatch::NoMatch, bytes.size()};
}

TEST(PrologTokenSearch, FindsTheFirstTrueLineStartThatHoldsTheToken) {
    // Random bytes over an alphabet rich in line ends and token pieces.
    const std::string alphabet[] = {"\n", "\r", "%", "%%", "%%Begin", "Prolog", "a", " "};
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        for (std::size_t i = 0, n = next() % 12; i < n; ++i) bytes += alphabet[next() % 8];
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        for (std::size_t from = 0; from <= bytes.size(); ++from) {
            for (const bool lineEndBefore : {false, true}) {
                const TokenLine got = findTokenLine(data, from, bytes.size(), lineEndBefore);
                const TokenLine want = referenceTokenLine(bytes, from, lineEndBefore);
                ASSERT_EQ(got.match, want.match) << "\"" << bytes << "\" from " << from;
                ASSERT_EQ(got.at, want.at) << "\"" << bytes << "\" from " << from;
            }
        }
    }
}

}  // namespace
}  // namespace jobtypefilter::testing
