// The filter's core: streams a job from input to output and splices the job-type PostScript in
// front of the first line that begins with "%%BeginProlog".
#pragma once

#include <cstddef>

#include "DialogOptions.h"
#include "JobStreams.h"

namespace jobtypefilter {

// The job is searched as it comes, but the filter's established behaviour follows the job in
// fillings of this many bytes (what its reads once took at a time): where a filling begins
// decides which bytes the line ending is detected over and whether the job ends with a read that
// brings nothing.
inline constexpr std::size_t kFillingSize = 4096;
inline constexpr char kPrologToken[] = "%%BeginProlog";
inline constexpr std::size_t kPrologTokenLength = sizeof kPrologToken - 1;

enum class TokenMatch { NoMatch, Found, Partial };

// The first line start in bytes[from, end) that holds the token (Found), or whose bytes up to end
// are a proper beginning of it (Partial: more bytes decide), or NoMatch. A line start is a byte
// behind a CR or LF; the byte at from is one when lineEndBeforeFrom. It finds '%' bytes with
// memchr and keeps those behind a line end, so a job is scanned at memchr speed.
struct TokenLine {
    TokenMatch match;
    std::size_t at;  // where the token or its beginning starts; end for NoMatch
};
TokenLine findTokenLine(const unsigned char* bytes, std::size_t from, std::size_t end,
                        bool lineEndBeforeFrom);

// What the process around the core provides.
struct FilterHooks {
    void (*setTimeZone)(const char* zone) = nullptr;  // TZ from the TimeZone option
    void (*installSignalHandling)() = nullptr;        // once the buffers exist
    void (*waitForInput)() = nullptr;                 // a filling's read brought nothing
};

// Runs one job: parses the options (refusing a key in another letter case, and turning the
// print dialogs' options into the filter's keys), sets the zone, searches, splices and copies.
// Returns 0 at the normal end and 1 on failure, with the cause recorded in the filter status
// (which the call resets first). A job refused for its options is refused before any of it is
// read. The TimeZone option becomes TZ only when it is a POSIX rule or names a zone file;
// otherwise a warning is written and the zone stays the filter's own.
int runJobTypeFilter(const char* optionsString, const JobOrigin& origin, JobInput& input,
                     JobOutput& output, const FilterHooks& hooks);
// The same for a job of no known user and no PPD.
int runJobTypeFilter(const char* optionsString, JobInput& input, JobOutput& output,
                     const FilterHooks& hooks);

}  // namespace jobtypefilter
