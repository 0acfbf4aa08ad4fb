// The job's options as libcups parses them from the filter's options argument, and the three
// ways the filter reads them.
#pragma once

#include <cups/cups.h>

namespace jobtypefilter {

class JobOptions {
  public:
    // Parses the options string into an empty set (null or empty gives no options).
    explicit JobOptions(const char* optionsString);
    ~JobOptions();
    JobOptions(const JobOptions&) = delete;
    JobOptions& operator=(const JobOptions&) = delete;
    JobOptions(JobOptions&& other) noexcept;
    JobOptions& operator=(JobOptions&& other) noexcept;

    // The plain read: the value, or null when the key is absent. Absence records nothing. Only
    // the exact spelling of the key counts.
    const char* get(const char* key) const;
    // Adds the key with its value, or replaces the value of a key libcups takes as the same.
    void set(const char* key, const char* value);

  private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

// The value, or null after recording the required-option status.
const char* getRequiredOption(const JobOptions& options, const char* key);

// The same for a key whose absence stops the job: an absent key is also recorded as the reason
// the job is refused.
const char* readStoppingOption(const JobOptions& options, const char* key);

// True when the key is present and its value is "true" in any letter case.
bool isOptionTrue(const JobOptions& options, const char* key);

}  // namespace jobtypefilter
