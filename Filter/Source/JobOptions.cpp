#include "JobOptions.h"

#include <strings.h>

#include <cstring>
#include <utility>

#include "FilterStatus.h"

namespace jobtypefilter {

JobOptions::JobOptions(const char* optionsString) {
    if (optionsString != nullptr) count_ = cupsParseOptions(optionsString, 0, &options_);
}

JobOptions::~JobOptions() {
    cupsFreeOptions(count_, options_);
}

JobOptions::JobOptions(JobOptions&& other) noexcept
    : count_(std::exchange(other.count_, 0)), options_(std::exchange(other.options_, nullptr)) {}

JobOptions& JobOptions::operator=(JobOptions&& other) noexcept {
    if (this != &other) {
        cupsFreeOptions(count_, options_);
        count_ = std::exchange(other.count_, 0);
        options_ = std::exchange(other.options_, nullptr);
    }
    return *this;
}

const char* JobOptions::get(const char* key) const {
    // libcups' own lookup ignores letter case; a key counts only as the filter spells it.
    for (int i = 0; i < count_; ++i) {
        if (std::strcmp(options_[i].name, key) == 0) return options_[i].value;
    }
    return nullptr;
}

void JobOptions::set(const char* key, const char* value) {
    count_ = cupsAddOption(key, value, count_, &options_);
}

const char* getRequiredOption(const JobOptions& options, const char* key) {
    const char* value = options.get(key);
    if (value == nullptr) recordMissingOption(key);
    return value;
}

const char* readStoppingOption(const JobOptions& options, const char* key) {
    const char* value = getRequiredOption(options, key);
    if (value == nullptr) refuseJob(missingOptionReason(key));
    return value;
}

bool isOptionTrue(const JobOptions& options, const char* key) {
    const char* value = options.get(key);
    return value != nullptr && strcasecmp(value, "true") == 0;
}

}  // namespace jobtypefilter
