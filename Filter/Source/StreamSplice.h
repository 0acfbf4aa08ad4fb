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

// The first byte after the next run of CR and LF bytes at or behind candidate, or none when
// there is no line end before last or the run reaches last.
std::optional<std::size_t> nextLineStart(const unsigned char* held, std::size_t candidate,
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
