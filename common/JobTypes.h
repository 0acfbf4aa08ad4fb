// The seven job types and everything that differs between them, in one table: the names under
// which the panel, the filter and the print dialogs know each one, which printer models offer
// it, which entries it checks, which rows of the panel's form it uses, what the panel's summary
// shows for it and which options the filter cannot write its block without. The panel and the
// filter derive their per-job-type rules from this table and nowhere else.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "FieldRules.h"

namespace varlo::printsettings {

// In the order of the vocabulary table, which is also the order of the panel's pop-up.
enum class JobType {
    Normal,
    SamplePrint,
    LockedPrint,
    PausedPrint,
    SavedPrint,
    SaveDocumentPrint,
    DocumentServer,
};

// What decides whether a printer model offers the job type (its PPD attribute is exactly
// "true") and accepts it (its PPD attribute is anything but "false").
enum class OfferedBy {
    EveryModel,            // offered and accepted everywhere
    JobTypeModel,          // offered everywhere; not accepted where NoJobTypeModel is "true"
    StoredPrintSupport,    // the PPD attribute of that name
    StoreAndPrintSupport,  // the PPD attribute of that name
    DocumentServerSupport  // the PPD attribute of that name
};

// The rows of the panel's form, besides user ID and user code, that the job type enables.
struct FormRows {
    bool fileName;
    bool password;
};

// The options the filter refuses the job type's block without.
struct RequiredOptions {
    bool userID;
    bool password;
    bool fileName;
};

struct JobTypeRow {
    JobType type;
    const char* storedName;     // the JobType value shared by panel and filter
    const char* displayTitle;   // the English pop-up title in the panel (a strings-table key)
    const char* dialogKeyword;  // the choice of the PPD's JobType option: the stored name
                                // without its spaces (a PPD choice keyword cannot hold one)
    OfferedBy offeredBy;
    FieldDemands checks;        // what the panel checks before it saves
    FormRows formRows;          // what the panel's enabling rules turn on
    bool summaryShowsFileName;  // the panel's summary carries the stored file name
    RequiredOptions filterRequires;
};

// The per-job-type rules. A Normal job's block is written with an empty user ID when none is
// given; every other block needs its user ID.
inline constexpr std::array<JobTypeRow, 7> kJobTypes{{
    {.type = JobType::Normal,
     .storedName = "Normal",
     .displayTitle = "Normal Print",
     .dialogKeyword = "Normal",
     .offeredBy = OfferedBy::EveryModel,
     .checks = {.userID = FieldCheck::Optional, .fileName = false, .password = FieldCheck::None},
     .formRows = {.fileName = false, .password = false},
     .summaryShowsFileName = false,
     .filterRequires = {.userID = false, .password = false, .fileName = false}},
    {.type = JobType::SamplePrint,
     .storedName = "Sample Print",
     .displayTitle = "Sample Print",
     .dialogKeyword = "SamplePrint",
     .offeredBy = OfferedBy::JobTypeModel,
     .checks = {.userID = FieldCheck::Required, .fileName = false, .password = FieldCheck::None},
     .formRows = {.fileName = false, .password = false},
     .summaryShowsFileName = false,
     .filterRequires = {.userID = true, .password = false, .fileName = false}},
    {.type = JobType::LockedPrint,
     .storedName = "Locked Print",
     .displayTitle = "Locked Print",
     .dialogKeyword = "LockedPrint",
     .offeredBy = OfferedBy::JobTypeModel,
     .checks = {.userID = FieldCheck::Required,
                .fileName = false,
                .password = FieldCheck::Required},
     .formRows = {.fileName = false, .password = true},
     .summaryShowsFileName = false,
     .filterRequires = {.userID = true, .password = true, .fileName = false}},
    {.type = JobType::PausedPrint,
     .storedName = "Paused Print",
     .displayTitle = "Hold Print",
     .dialogKeyword = "PausedPrint",
     .offeredBy = OfferedBy::StoredPrintSupport,
     .checks = {.userID = FieldCheck::Required, .fileName = true, .password = FieldCheck::None},
     .formRows = {.fileName = true, .password = false},
     .summaryShowsFileName = true,
     .filterRequires = {.userID = true, .password = false, .fileName = true}},
    {.type = JobType::SavedPrint,
     .storedName = "Saved Print",
     .displayTitle = "Stored Print",
     .dialogKeyword = "SavedPrint",
     .offeredBy = OfferedBy::StoredPrintSupport,
     .checks = {.userID = FieldCheck::Required, .fileName = true, .password = FieldCheck::Optional},
     .formRows = {.fileName = true, .password = true},
     .summaryShowsFileName = true,
     .filterRequires = {.userID = true, .password = true, .fileName = true}},
    {.type = JobType::SaveDocumentPrint,
     .storedName = "Save Document Print",
     .displayTitle = "Store and Print",
     .dialogKeyword = "SaveDocumentPrint",
     .offeredBy = OfferedBy::StoreAndPrintSupport,
     .checks = {.userID = FieldCheck::Required, .fileName = true, .password = FieldCheck::Optional},
     .formRows = {.fileName = true, .password = true},
     .summaryShowsFileName = true,
     .filterRequires = {.userID = true, .password = true, .fileName = true}},
    {.type = JobType::DocumentServer,
     .storedName = "Document Server",
     .displayTitle = "Document Server",
     .dialogKeyword = "DocumentServer",
     .offeredBy = OfferedBy::DocumentServerSupport,
     .checks = {.userID = FieldCheck::Optional, .fileName = true, .password = FieldCheck::Optional},
     .formRows = {.fileName = true, .password = true},
     .summaryShowsFileName = true,
     .filterRequires = {.userID = true, .password = true, .fileName = true}},
}};

const JobTypeRow& rowOf(JobType type);

// Whether row i of a per-job-type table is the row of the i-th job type, so that a job type's
// place in the enumeration finds its row.
template <typename Rows>
constexpr bool rowsFollowTheJobTypes(const Rows& rows) {
    std::size_t place = 0;
    for (const auto& row : rows) {
        if (static_cast<std::size_t>(row.type) != place++) return false;
    }
    return place == kJobTypes.size();
}

inline const char* storedName(JobType type) {
    return rowOf(type).storedName;
}
inline const char* displayTitle(JobType type) {
    return rowOf(type).displayTitle;
}
inline const char* dialogKeyword(JobType type) {
    return rowOf(type).dialogKeyword;
}

// Exact, case-sensitive matches; none for anything outside the table.
std::optional<JobType> jobTypeFromStoredName(std::string_view storedName);
std::optional<JobType> jobTypeFromDisplayTitle(std::string_view englishTitle);
std::optional<JobType> jobTypeFromDialogKeyword(std::string_view keyword);

}  // namespace varlo::printsettings
