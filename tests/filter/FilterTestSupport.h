// Shared set-up for the filter core tests: a fixed clock in UTC, the job built from its parts,
// and the expected splice texts written out as the device must receive them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FilterStatus.h"
#include "JobClock.h"
#include "MemoryJobStreams.h"
#include "StreamSplice.h"

namespace jobtypefilter::testing {

// Everything a descriptor gives until its end.
inline std::string drain(int fd) {
    std::string all;
    char chunk[65536];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0) all.append(chunk, static_cast<std::size_t>(n));
    return all;
}

// 2026-03-02 09:05:30 UTC.
inline constexpr std::time_t kFixedInstant = 1772442330;
inline std::time_t fixedClock() { return kFixedInstant; }
inline constexpr char kFixedCompact[] = "202603020905";

// Runs every test in UTC with the fixed clock and gives the inherited TZ back afterwards.
class FixedClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) savedTZ_ = tz;
        setenv("TZ", "UTC0", 1);
        tzset();
        setClockSource(fixedClock);
    }
    void TearDown() override {
        setClockSource(nullptr);
        if (savedTZ_) {
            setenv("TZ", savedTZ_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> savedTZ_;
};

// Each line followed by the line ending.
inline std::string joinLines(std::initializer_list<std::string> lines, const std::string& L) {
    std::string text;
    for (const auto& line : lines) text += line + L;
    return text;
}

inline std::string procedureDefinitions(const std::string& L) {
    return joinLines(
        {
            "",
            "/isEnhancedFeatures",
            "\t{userdict /4b1e7d2c90 known { userdict /4b1e7d2c90 get /EnhancedFeatures known} "
            "{false} ifelse } bind def",
            "",
            "/isGenuine{",
            "\t2 dict begin",
            "\t/isGenuineFlag //false def",
            "\t//systemdict /execdict known  {",
            "\t\t//systemdict /execdict get /copyright known {",
            "\t\t\t/copyright //systemdict /execdict get /copyright get def",
            "\t\t\t{ copyright ( ) anchorsearch {",
            "\t\t\t\t\tpop /copyright exch def",
            "\t\t\t\t}{",
            "\t\t\t\t\tpop",
            "\t\t\t\t\texit",
            "\t\t\t\t} ifelse",
            "\t\t\t} loop",
            "",
            "\t\t\tcopyright ((c) Copyright 1984-) anchorsearch {",
            "\t\t\t\tpop pop",
            "\t\t\t\tcopyright ( Adobe Systems Incorporated) search {",
            "\t\t\t\t\tpop pop pop",
            "\t\t\t\t\tcopyright (All Rights Reserved.) search {",
            "\t\t\t\t\t\tpop pop pop",
            "\t\t\t\t\t\t/isGenuineFlag //true def",
            "\t\t\t\t\t}{",
            "\t\t\t\t\t\tpop",
            "\t\t\t\t\t} ifelse",
            "\t\t\t\t}{",
            "\t\t\t\t\tpop",
            "\t\t\t\t} ifelse",
            "\t\t\t}{",
            "\t\t\t\tpop",
            "\t\t\t} ifelse",
            "\t\t} if",
            "\t} if",
            "\tisGenuineFlag",
            "\tend",
            "}bind def",
        },
        L);
}

inline std::string userInformation(const std::string& userID, const std::string& userCode,
                                   const std::string& L) {
    return joinLines({"mark",
                      "  (" + userID + ") (" + userCode + ") (" + kFixedCompact +
                          ") {setuserinfo} stopped",
                      "cleartomark"},
                     L);
}

struct FilterRun {
    int result;
    int status;
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
