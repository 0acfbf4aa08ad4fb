// The five PPD attributes that say what a printer model of the family can do, and what follows
// from them for both the Job Log panel and the filter: the job types the model offers and
// accepts, and the length of its passwords. An attribute the PPD lacks (or no PPD at all) is
// held as no value and treated like "false": such a printer offers and accepts only what every
// printer of the family can do.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "FieldRules.h"
#include "JobTypes.h"

namespace varlo::printsettings {

struct PrinterAttributes {
    std::optional<std::string> noJobTypeModel;         // "NoJobTypeModel"
    std::optional<std::string> storedPrintSupport;     // "StoredPrintSupport"
    std::optional<std::string> storeAndPrintSupport;   // "StoreAndPrintSupport"
    std::optional<std::string> documentServerSupport;  // "DocumentServerSupport"
    std::optional<std::string> longPasswordSupport;    // "LongPasswardSupport" (spelled so)
};

// The attribute names as the PPD spells them, in the order of the struct's members.
inline constexpr const char* kNoJobTypeModelAttribute = "NoJobTypeModel";
inline constexpr const char* kStoredPrintSupportAttribute = "StoredPrintSupport";
inline constexpr const char* kStoreAndPrintSupportAttribute = "StoreAndPrintSupport";
inline constexpr const char* kDocumentServerSupportAttribute = "DocumentServerSupport";
inline constexpr const char* kLongPasswordSupportAttribute = "LongPasswardSupport";

// Offering tests: the value is exactly "true".
bool isTrue(const std::optional<std::string>& value);
// The value is exactly "false", or missing: a missing attribute counts as "false". Accepting
// tests are its negation.
bool isFalse(const std::optional<std::string>& value);

// Whether the model offers the job type: every model offers Normal, Sample and Locked Print,
// the others where their attribute (JobTypes.h, offeredBy) is exactly "true".
bool isJobTypeOffered(const PrinterAttributes& attributes, JobType type);

// The job types the model offers (the panel's pop-up, the PPD's JobType choices), always in the
// vocabulary's order, Normal first.
std::vector<JobType> offeredJobTypes(const PrinterAttributes& attributes);

// Whether a stored job type counts for this model (the panel's acceptance test before printing
// and in the validation of its form): its attribute is not "false". So a model whose attribute
// holds another value (such as "TRUE") accepts a job type it does not offer.
bool isJobTypeAccepted(const PrinterAttributes& attributes, JobType type);

// The model's password: 4 digits, or 4 to 8 where it takes long passwords.
FieldRule modelPasswordRule(const PrinterAttributes& attributes);

}  // namespace varlo::printsettings
