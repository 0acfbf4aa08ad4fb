// The five PPD attributes the Job Log panel reads, as their values stand in the PPD. An
// attribute the PPD lacks (or no PPD at all) is held as no value and treated like "false":
// such a printer offers and accepts only what every printer of the family can do.
#pragma once

#include <optional>
#include <string>

namespace kordavine::joblog {

struct PrinterAttributes {
    std::optional<std::string> noJobTypeModel;         // "NoJobTypeModel"
    std::optional<std::string> storedPrintSupport;     // "StoredPrintSupport"
    std::optional<std::string> storeAndPrintSupport;   // "StoreAndPrintSupport"
    std::optional<std::string> documentServerSupport;  // "DocumentServerSupport"
    std::optional<std::string> longPasswordSupport;    // "LongPasswardSupport" (spelled so)
};

// Offering tests: the value is exactly "true".
bool isTrue(const std::optional<std::string>& value);
// Accepting tests: the value is anything but "false"; a missing attribute counts as "false".
bool isNotFalse(const std::optional<std::string>& value);

}  // namespace kordavine::joblog
