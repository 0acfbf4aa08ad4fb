#include "FilterStatus.h"

#include <cerrno>
#include <cstdio>
#include <string>

namespace jobtypefilter {

namespace {
int recordedStatus = kStatusNone;
int errnoAtFailure = 0;
std::string absentKey;
int stoppedBy = kStatusNone;
}  // namespace

void recordFilterStatus(int code) {
    if (recordedStatus != kStatusNone) return;
    recordedStatus = code;
    errnoAtFailure = errno;
}

int filterStatus() { return recordedStatus; }

void recordStop(int code) {
    recordFilterStatus(code);
    stoppedBy = code;
}

void recordMissingOption(const char* key) {
    recordFilterStatus(kStatusRequiredMissing);
    absentKey = key;
}

const std::string& missingOption() { return absentKey; }

void resetFilterStatus() {
    recordedStatus = kStatusNone;
    errnoAtFailure = 0;
    absentKey.clear();
    stoppedBy = kStatusNone;
}

const char* failureMessage(int status) {
    return status == kStatusMemoryError ? "ERROR: memory error in CUPS Filter - "
                                        : "ERROR: error in CUPS Filter - ";
}

void reportFailure() {
    const std::string line = std::string("ERROR: ") + failureMessage(recordedStatus);
    const bool ioFailure = recordedStatus == kStatusOpenFailed ||
                           recordedStatus == kStatusReadFailed ||
                           recordedStatus == kStatusWriteFailed;
    if (ioFailure) errno = errnoAtFailure;
    std::perror(line.c_str());
    if (stoppedBy == kStatusSpliceFailed && recordedStatus == kStatusRequiredMissing &&
        !absentKey.empty()) {
        std::fprintf(stderr, "ERROR: missing job option %s\n", absentKey.c_str());
    }
}

}  // namespace jobtypefilter
