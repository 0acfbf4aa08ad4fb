#include "FilterStatus.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

namespace jobtypefilter {

namespace {
int recordedStatus = kStatusNone;
int stoppedBy = kStatusNone;
int errnoAtStop = 0;
std::string reason;

bool isInputOutputFailure(int code) {
    return code == kStatusOpenFailed || code == kStatusReadFailed || code == kStatusWriteFailed;
}
}  // namespace

void recordFilterStatus(int code) {
    if (recordedStatus == kStatusNone) recordedStatus = code;
}

int filterStatus() { return recordedStatus; }

void recordStop(int code) {
    const int error = errno;
    recordFilterStatus(code);
    if (stoppedBy != kStatusNone) return;
    stoppedBy = code;
    errnoAtStop = error;
}

void recordMissingOption(const char*) {
    recordFilterStatus(kStatusRequiredMissing);
}

void refuseJob(std::string text) {
    if (reason.empty()) reason = std::move(text);
}

std::string missingOptionReason(const char* key) {
    return std::string("missing job option ") + key;
}

const std::string& refusalReason() {
    return reason;
}

void resetFilterStatus() {
    recordedStatus = kStatusNone;
    stoppedBy = kStatusNone;
    errnoAtStop = 0;
    reason.clear();
}

const char* failureMessage(int status) {
    return status == kStatusMemoryError ? "ERROR: memory error in CUPS Filter - "
                                        : "ERROR: error in CUPS Filter - ";
}

void reportWarning(std::string_view text) {
    std::fprintf(stderr, "WARNING: %.*s\n", static_cast<int>(text.size()), text.data());
}

void reportFailure() {
    if (!reason.empty()) std::fprintf(stderr, "ERROR: %s\n", reason.c_str());
    const std::string line = std::string("ERROR: ") + failureMessage(recordedStatus);
    if (isInputOutputFailure(stoppedBy)) {
        errno = errnoAtStop;
    } else if (stoppedBy == kStatusMemoryError) {
        errno = ENOMEM;
    } else {
        errno = EINVAL;
    }
    std::perror(line.c_str());
}

}  // namespace jobtypefilter
