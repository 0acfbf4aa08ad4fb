#include "JobOptions.h"

#include <strings.h>

#include <utility>

#include "FilterStatus.h"

namespace jobtypefilter {

JobOptions::JobOptions(const char* optionsString) {
    if (optionsString != nullptr) count_ = cupsParseOptions(optionsString, 0, &options_);
}

JobOptions::~JobOptions() { cupsFreeOptions(count_, options_); }

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

const char* JobOptions::get(const char* key) const { return cupsGetOption(key, count_, options_); }

const char* getRequiredOption(const JobOptions& options, const char* key) {
    const char* value = options.get(key);
    if (value == nullptr) recordMissingOption(key);
    return value;
}

bool isOptionTrue(const JobOptions& options, const char* key) {
    const char* value = options.get(key);
    return value != nullptr && strcasecmp(value, "true") == 0;
}

}  // namespace jobtypefilter
