// The filter's process-wide failure status: the first failure recorded decides the message
// and is never replaced by a later one. Beside it the filter keeps what stopped the job: the
// step that failed and, for a refused job, the reason a person can act on.
#pragma once

#include <string>
#include <string_view>

namespace jobtypefilter {

enum class FilterStatus {
    None = 0,
    SpliceFailed = 1,     // the splice text could not be built (or the marking text ran over)
    MemoryError = 2,      // a buffer or the options record could not be allocated
    OpenFailed = 3,       // the job file named on the command line cannot be opened
    ReadFailed = 4,       // reading the job failed
    WriteFailed = 5,      // writing to standard output failed
    RequiredMissing = 6,  // a required job option is absent
    OptionRefused = 7,    // the job's options were refused before any of the job was read
};

// Stores code only while nothing is recorded.
void recordFilterStatus(FilterStatus code);
FilterStatus filterStatus();
// Records code as for recordFilterStatus and remembers it as what stopped the job, with the
// error number of that moment: a failed open, read or write reports its own system text.
void recordStop(FilterStatus code);
// Records the required-option status for an absent key. Whether the job stops for it is the
// caller's to say, with refuseJob.
void recordMissingOption(const char* key);
// Remembers why the job is refused, in words a person can act on (one line, no "ERROR:"). The
// first reason stays: it is the one that stopped the job. A note recorded on the way as a status
// only (a read that went on with a default, a marking text over its budget) is no reason.
void refuseJob(std::string reason);
// The reason for an absent required option: "missing job option <key>".
std::string missingOptionReason(const char* key);
// The reason recorded, or empty.
const std::string& refusalReason();
// Forgets what was recorded; a new job starts from here.
void resetFilterStatus();

// The message that belongs to a status; every status but the memory error shares one text.
const char* failureMessage(FilterStatus status);

// Writes "WARNING: <text>" to standard error: something the filter set aside; the job goes on.
void reportWarning(std::string_view text);

// Writes the failure to standard error. A refused job gets its reason first, as
// "ERROR: <reason>": CUPS shows a job's first error line as its state message. Then the line
// "ERROR: " + failureMessage through perror, whose system text is true to the cause: that of the
// failed open, read or write; ENOMEM's for the memory error; EINVAL's for a refusal.
void reportFailure();

}  // namespace jobtypefilter
