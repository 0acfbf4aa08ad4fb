// The filter's process-wide failure status: the first failure recorded decides the message
// and is never replaced by a later one.
#pragma once

#include <string>

namespace jobtypefilter {

enum FilterStatusCode : int {
    kStatusNone = 0,
    kStatusSpliceFailed = 1,     // the splice text could not be built (or the marking text ran over)
    kStatusMemoryError = 2,      // a buffer or the options record could not be allocated
    kStatusOpenFailed = 3,       // the job file named on the command line cannot be opened
    kStatusReadFailed = 4,       // reading the job failed
    kStatusWriteFailed = 5,      // writing to standard output failed
    kStatusRequiredMissing = 6,  // a required job option is absent
};

// Stores code (and the error number current at that moment) only while nothing is recorded.
void recordFilterStatus(int code);
int filterStatus();
// Records code as for recordFilterStatus and remembers it as what stopped the job: the status
// may hold an earlier code, but only a job stopped in its splice gets the absent option named.
void recordStop(int code);
// Records the required-option status for an absent key and remembers the key, so that the
// failure line can be followed by one that names it. The latest absent key is kept: a read
// whose caller goes on with a default comes before the read that stops the job.
void recordMissingOption(const char* key);
// The latest absent required key, or empty.
const std::string& missingOption();
// Forgets what was recorded; a new job starts from here.
void resetFilterStatus();

// The message that belongs to a status; every status but the memory error shares one text.
const char* failureMessage(int status);

// Writes the failure line to standard error through perror. For a failed open, read or write
// the system text is that of the failed call, whatever happened after it. When the job stopped
// in its splice and the recorded status is the required-option one, a second line names the
// absent option.
void reportFailure();

}  // namespace jobtypefilter
