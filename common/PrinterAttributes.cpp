#include "PrinterAttributes.h"

namespace varlo::printsettings {

namespace {

// The attribute that offers a job type; none for the job types every model offers.
const std::optional<std::string>* offeringAttribute(const PrinterAttributes& a, OfferedBy by) {
    switch (by) {
        case OfferedBy::EveryModel:
        case OfferedBy::JobTypeModel:
            return nullptr;
        case OfferedBy::StoredPrintSupport:
            return &a.storedPrintSupport;
        case OfferedBy::StoreAndPrintSupport:
            return &a.storeAndPrintSupport;
        case OfferedBy::DocumentServerSupport:
            return &a.documentServerSupport;
    }
    return nullptr;
}

}  // namespace

bool isTrue(const std::optional<std::string>& value) {
    return value && *value == "true";
}

bool isFalse(const std::optional<std::string>& value) {
    return !value || *value == "false";
}

bool isJobTypeOffered(const PrinterAttributes& a, JobType type) {
    const auto* attribute = offeringAttribute(a, rowOf(type).offeredBy);
    return attribute == nullptr || isTrue(*attribute);
}

std::vector<JobType> offeredJobTypes(const PrinterAttributes& a) {
    std::vector<JobType> offered;
    for (const JobTypeRow& row : kJobTypes) {
        if (isJobTypeOffered(a, row.type)) offered.push_back(row.type);
    }
    return offered;
}

bool isJobTypeAccepted(const PrinterAttributes& a, JobType type) {
    const OfferedBy by = rowOf(type).offeredBy;
    if (by == OfferedBy::JobTypeModel) return !isTrue(a.noJobTypeModel);
    const auto* attribute = offeringAttribute(a, by);
    return attribute == nullptr || !isFalse(*attribute);
}

FieldRule modelPasswordRule(const PrinterAttributes& a) {
    return {4, isTrue(a.longPasswordSupport) ? 8 : 4, kDigitsClass};
}

}  // namespace varlo::printsettings
