// libFuzzer target over the filter core: an options string and a job, run through
// runJobTypeFilter as the program runs it, with every run's output checked against the job.
//
// Input: the options string, a NUL byte, then the job's bytes; without a NUL byte the whole
// input is the job and there are no options.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "FilterStatus.h"
#include "FixedClock.h"
#include "JobClock.h"
#include "JobOptions.h"
#include "MemoryJobStreams.h"
#include "PrintSettingsKeys.h"
#include "StreamSplice.h"

namespace {

using namespace jobtypefilter;

constexpr std::string_view kToken = "%%BeginProlog";
constexpr std::size_t kSpliceLimit = 2047;

[[noreturn]] void violation(const char* what) {
    std::fprintf(stderr, "jobtypefilter fuzz check failed: %s\n", what);
    std::abort();
}

void check(bool holds, const char* what) {
    if (!holds) violation(what);
}

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

bool isLineStart(std::string_view job, std::size_t at) {
    return at == 0 || isLineEnd(job[at - 1]);
}

bool tokenAt(std::string_view job, std::size_t at) {
    return job.substr(at, kToken.size()) == kToken;
}

// The filter tries the token only at true line starts (the job's first byte and every byte
// behind a CR or LF), wherever the read boundaries fall: the one splice point is the first token
// at a line start.
bool isSplicePoint(std::string_view job, std::size_t at, std::size_t firstLineToken) {
    return at == firstLineToken && tokenAt(job, at);
}

std::size_t firstLineStartToken(std::string_view job) {
    for (std::size_t at = job.find(kToken); at != std::string_view::npos;
         at = job.find(kToken, at + 1)) {
        if (isLineStart(job, at)) return at;
    }
    return std::string_view::npos;
}

bool safeBareToken(std::string_view value) {
    if (value.empty()) return false;
    for (char c : value) {
        if (std::string_view(" \t\r\n\f()<>[]{}/%").find(c) != std::string_view::npos) return false;
        if (c == '\0') return false;
    }
    return true;
}

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// The splice text must be PostScript the values cannot break: strings closed, no comment
// outside them, lines ended by one line ending, and the bare marking values single tokens.
// Inside a string every byte below 0x20 and DEL stands as a three-digit octal escape, so no raw
// line end, ESC or ^D reaches the job, and a backslash starts only the escapes the filter writes.
void checkSpliceText(std::string_view splice, bool expectMarking) {
    check(!splice.empty() && splice.size() <= kSpliceLimit, "splice text size");
    check(splice.find('\0') == std::string_view::npos, "NUL in the splice text");
    std::string_view L;
    if (splice.starts_with("\r\n")) {
        L = "\r\n";
    } else {
        check(isLineEnd(splice.front()), "splice text does not open with a line ending");
        L = splice.substr(0, 1);
    }
    check(splice.ends_with(L), "splice text does not end with its line ending");

    int depth = 0;
    std::size_t lineStart = 0;
    std::string code;  // the splice text with the strings' contents left out
    for (std::size_t i = 0; i < splice.size(); ++i) {
        const char c = splice[i];
        if (depth == 0) code += c;
        if (depth > 0) {
            const auto byte = static_cast<unsigned char>(c);
            check(byte >= 0x20 && byte != 0x7F, "raw control byte inside a string");
            if (c == '\\') {
                check(i + 1 < splice.size(), "backslash ends the splice text");
                const char next = splice[i + 1];
                if (next == '\\' || next == '(' || next == ')') {
                    ++i;
                } else {
                    check(i + 3 < splice.size() && isOctalDigit(next) &&
                              isOctalDigit(splice[i + 2]) && isOctalDigit(splice[i + 3]),
                          "backslash starts no escape of the filter's");
                    i += 3;
                }
            } else if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (--depth == 0) code += c;
            }
            continue;
        }
        if (c == '(') {
            depth = 1;
        } else if (c == ')') {
            violation("unbalanced ')' outside a string");
        } else if (c == '%') {
            violation("comment outside a string");
        } else if (isLineEnd(c)) {
            check(splice.substr(i, L.size()) == L, "line ended by another line ending");
            const std::string_view line = splice.substr(lineStart, i - lineStart);
            for (std::string_view prefix :
                 {"/FontSize ", "/StringAngle ", "/StringLoopInterval "}) {
                if (line.starts_with(prefix)) {
                    check(safeBareToken(line.substr(prefix.size())), "bare value not one token");
                }
            }
            i += L.size() - 1;
            lineStart = i + 1;
        }
    }
    check(depth == 0, "string left open");

    const std::string_view call = "/ZDeviceProcSet /ProcSet findresource /SetMarkingType get exec";
    const std::size_t first = code.find(call);
    if (expectMarking) {
        check(first != std::string::npos, "marking block missing");
        check(code.find(call, first + 1) == std::string::npos, "two marking blocks");
    } else {
        check(first == std::string::npos, "marking block without copy control");
    }
}

void checkRun(std::string_view job, const std::string& output, int result, bool expectMarking) {
    const std::size_t firstLineToken = firstLineStartToken(job);
    if (result != 0) {
        // A refused job names its reason in one printable line.
        const std::string& reason = refusalReason();
        check(!reason.empty(), "failure without a reason");
        for (char c : reason) check(c >= 0x20 && c < 0x7F, "reason is no printable line");
        // Options refused before the job is read leave nothing; a failed splice leaves exactly
        // the bytes before the token.
        if (filterStatus() == FilterStatus::OptionRefused) {
            check(output.empty(), "refused options wrote bytes");
            return;
        }
        check(filterStatus() != FilterStatus::None, "failure without a status");
        check(output.size() <= job.size() && job.starts_with(output), "failed run wrote more");
        check(isSplicePoint(job, output.size(), firstLineToken), "failed run stopped elsewhere");
        return;
    }
    if (output.size() == job.size()) {
        check(output == job, "output differs from the job");
        check(firstLineToken == std::string_view::npos, "token line without a splice");
        return;
    }
    check(output.size() > job.size(), "output lost bytes");
    const std::size_t added = output.size() - job.size();
    for (std::size_t at = 0; at <= job.size(); ++at) {
        if (!isSplicePoint(job, at, firstLineToken)) continue;
        if (std::string_view(output).substr(0, at) != job.substr(0, at)) break;
        if (std::string_view(output).substr(at + added) == job.substr(at)) {
            checkSpliceText(std::string_view(output).substr(at, added), expectMarking);
            return;
        }
    }
    violation("output is not the job with one splice before the token line");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    applyTimeZone("UTC");
    setClockSource(jobtypefilter::testing::fixedClock);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = all.find('\0');
    const std::string options =
        nul == std::string_view::npos ? "" : std::string(all.substr(0, nul));
    const std::string_view job = nul == std::string_view::npos ? all : all.substr(nul + 1);

    testing::MemoryJobInput input(job);
    // Reads that end at other places than the fillings do, as a pipe's reads do.
    input.serveInPieces({1 + job.size() % 4999, 4096, 1 + options.size() % 13});
    testing::MemoryJobOutput output;
    const int result = runJobTypeFilter(options.c_str(), input, output, FilterHooks{});

    const JobOptions parsed(options.c_str());
    const char* type = parsed.get(varlo::printsettings::kCCPCopyControlType);
    const bool expectMarking =
        type != nullptr && (std::string_view(type) == "Copy Guard" ||
                            std::string_view(type) == "Prevention Copy Pattern");
    checkRun(job, output.written(), result, expectMarking);
    return 0;
}
