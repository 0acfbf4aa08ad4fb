#include "FilterStatus.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

namespace jobtypefilter {

namespace {
FilterStatus recordedStatus = FilterStatus::None;
FilterStatus stoppedBy = FilterStatus::None;
int errnoAtStop = 0;
std::string reason;

bool isInputOutputFailure(FilterStatus code) {
    return code == FilterStatus::OpenFailed || code == FilterStatus::ReadFailed ||
           code == FilterStatus::WriteFailed;
}
}  // namespace

void recordFilterStatus(FilterStatus code) {
    if (recordedStatus == FilterStatus::None) recordedStatus = code;
}

FilterStatus filterStatus() {
    return recordedStatus;
}

void recordStop(FilterStatus code) {
    const int error = errno;
    recordFilterStatus(code);
    if (stoppedBy != FilterStatus::None) return;
    stoppedBy = code;
    errnoAtStop = error;
}

void recordMissingOption(const char*) {
    recordFilterStatus(FilterStatus::RequiredMissing);
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
    recordedStatus = FilterStatus::None;
    stoppedBy = FilterStatus::None;
    errnoAtStop = 0;
    reason.clear();
}

const char* failureMessage(FilterStatus status) {
    return status == FilterStatus::MemoryError ? "ERROR: memory error in CUPS Filter - "
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
    } else if (stoppedBy == FilterStatus::MemoryError) {
        errno = ENOMEM;
    } else {
        errno = EINVAL;
    }
    std::perror(line.c_str());
}

}  // namespace jobtypefilter
