// The filter's core: streams a job from input to output and splices the job-type PostScript in
// front of the first line that begins with "%%BeginProlog".
#pragma once

#include <cstddef>
#include <optional>

#include "JobStreams.h"

namespace jobtypefilter {

inline constexpr std::size_t kReadBufferSize = 4096;
inline constexpr char kPrologToken[] = "%%BeginProlog";
inline constexpr std::size_t kPrologTokenLength = sizeof kPrologToken - 1;

enum class TokenMatch { NoMatch, Found, Partial };

// Compares the token with the held bytes from candidate to last (inclusive) without reading
// past last: a proper beginning of the token that reaches last is Partial.
TokenMatch findPrologToken(const unsigned char* held, std::size_t candidate, std::size_t last);

// The token is tried at every line start: the first byte after a run of CR and LF bytes that
// begins at or behind the candidate and ends before the last held byte (the first held byte is
// tried by the caller, and only when the byte before it ended a line or began the job).
// Only a line start that holds the token's first byte can match, so this answers the next such
// line start after candidate, or none. It finds '%' bytes and keeps those behind a CR or LF, so
// a job is scanned at memchr speed rather than line by line.
std::optional<std::size_t> nextTokenCandidate(const unsigned char* held, std::size_t candidate,
                                              std::size_t last);

// What the process around the core provides.
struct FilterHooks {
    void (*setTimeZone)(const char* zone) = nullptr;  // TZ from the TimeZone option
    void (*installSignalHandling)() = nullptr;         // once the buffers exist
    void (*waitForInput)() = nullptr;                  // a read brought nothing
};

// Runs one job: parses the options, sets the zone, searches, splices and copies. Returns 0 at
// the normal end and 1 on failure, with the cause recorded in the filter status (which the call
// resets first).
int runJobTypeFilter(const char* optionsString, JobInput& input, JobOutput& output,
                     const FilterHooks& hooks);

}  // namespace jobtypefilter
