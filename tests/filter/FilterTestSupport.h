// Shared set-up for the filter core tests: a fixed clock in UTC, the job built from its parts,
// the expected splice texts from the golden files, and a writer feeding a pipe in uneven pieces.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "FilterStatus.h"
#include "FixedClock.h"
#include "JobClock.h"
#include "MemoryJobStreams.h"
#include "ScopedTimeZone.h"
#include "StreamSplice.h"

namespace jobtypefilter::testing {

// Everything a descriptor gives until its end.
inline std::string drain(int fd) {
    std::string all;
    char chunk[65536];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0)
        all.append(chunk, static_cast<std::size_t>(n));
    return all;
}

// A thread that writes bytes (which must outlive it) into fd in pieces of 1 to pieceLimit bytes,
// uneven so that the reader's reads end anywhere, then closes fd.
inline std::thread writeInPieces(int fd, const std::string& bytes, std::size_t pieceLimit) {
    return std::thread([fd, &bytes, pieceLimit] {
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t piece = std::min<std::size_t>(bytes.size() - at, 1 + at % pieceLimit);
            const ssize_t n = ::write(fd, bytes.data() + at, piece);
            if (n <= 0) break;
            at += static_cast<std::size_t>(n);
        }
        ::close(fd);
    });
}

// Runs every test in UTC with the fixed clock and gives the inherited TZ back afterwards.
class FixedClockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        utc_.emplace("UTC0");
        setClockSource(fixedClock);
    }
    void TearDown() override {
        setClockSource(nullptr);
        utc_.reset();
    }

  private:
    std::optional<testsupport::ScopedTimeZone> utc_;
};

// A piece of the splice text from the golden files (tests/fixtures/splice, shared with the Python
// tests): every line ended by L, every @Name@ replaced by the value under Name, which stands as
// it goes between the parentheses (escaped).
using GoldenValues = std::map<std::string, std::string, std::less<>>;

inline std::string golden(const std::string& name, const GoldenValues& values,
                          const std::string& L) {
    std::ifstream file(std::string(JOBLOG_SPLICE_GOLDEN) + "/" + name + ".ps", std::ios::binary);
    EXPECT_TRUE(file) << "golden file " << name;
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n') {
            out += L;
            continue;
        }
        const std::size_t close = text[at] == '@' ? text.find('@', at + 1) : std::string::npos;
        const auto value = close == std::string::npos
                               ? values.end()
                               : values.find(std::string_view(text).substr(at + 1, close - at - 1));
        if (value == values.end()) {
            out += text[at];
            continue;
        }
        out += value->second;
        at = close;
    }
    return out;
}

inline std::string procedureDefinitions(const std::string& L) {
    return golden("procedure-definitions", {}, L);
}

inline std::string userInformation(const std::string& userID, const std::string& userCode,
                                   const std::string& L) {
    return golden("user-information",
                  {{"UserID", userID}, {"UserCode", userCode}, {"Time", kFixedCompact}}, L);
}

struct FilterRun {
    int result;
    FilterStatus status;
    std::string output;
    std::string reason;  // why the job was refused, or empty
};

inline FilterRun runFilter(const std::string& options, const std::string& job,
                           FilterHooks hooks = {}, std::vector<std::size_t> inputPieces = {}) {
    MemoryJobInput input(job);
    input.serveInPieces(std::move(inputPieces));
    MemoryJobOutput output;
    const int result = runJobTypeFilter(options.c_str(), input, output, hooks);
    return {result, filterStatus(), output.written(), refusalReason()};
}

// A job whose prolog token follows a header line ended by L.
inline std::string jobWithProlog(const std::string& L) {
    return "%!PS-Adobe-3.0" + L + "%%EndComments" + L + "%%BeginProlog" + L + "/x 1 def" + L +
           "%%EndProlog" + L + "showpage" + L;
}

}  // namespace jobtypefilter::testing
