#include "JobTypeBlocks.h"

#include <array>
#include <cstring>
#include <initializer_list>

#include "FilterStatus.h"
#include "JobClock.h"
#include "PostScriptLines.h"
#include "PrintSettingsKeys.h"

namespace jobtypefilter {

namespace keys = varlo::printsettings;

namespace {

struct ProcedureLine {
    int tabs;
    const char* content;
};

// isEnhancedFeatures leaves false when userdict has no entry 4b1e7d2c90, so the reserved-time
// test of the held job always finds a boolean.
constexpr std::array<ProcedureLine, 39> kProcedureLines{{
    {0, ""},
    {0, "/isEnhancedFeatures"},
    {1, "{userdict /4b1e7d2c90 known { userdict /4b1e7d2c90 get /EnhancedFeatures known} "
        "{false} ifelse } bind def"},
    {0, ""},
    {0, "/isGenuine{"},
    {1, "2 dict begin"},
    {1, "/isGenuineFlag //false def"},
    {1, "//systemdict /execdict known  {"},
    {2, "//systemdict /execdict get /copyright known {"},
    {3, "/copyright //systemdict /execdict get /copyright get def"},
    {3, "{ copyright ( ) anchorsearch {"},
    {5, "pop /copyright exch def"},
    {4, "}{"},
    {5, "pop"},
    {5, "exit"},
    {4, "} ifelse"},
    {3, "} loop"},
    {0, ""},
    {3, "copyright ((c) Copyright 1984-) anchorsearch {"},
    {4, "pop pop"},
    {4, "copyright ( Adobe Systems Incorporated) search {"},
    {5, "pop pop pop"},
    {5, "copyright (All Rights Reserved.) search {"},
    {6, "pop pop pop"},
    {6, "/isGenuineFlag //true def"},
    {5, "}{"},
    {6, "pop"},
    {5, "} ifelse"},
    {4, "}{"},
    {5, "pop"},
    {4, "} ifelse"},
    {3, "}{"},
    {4, "pop"},
    {3, "} ifelse"},
    {2, "} if"},
    {1, "} if"},
    {1, "isGenuineFlag"},
    {1, "end"},
    {0, "}bind def"},
}};

// The values one block writes; every one of them goes between parentheses.
struct BlockValues {
    const char* userID = "";
    const char* password = "";
    const char* fileName = "";
    const char* userCode = "";
    char timeStamp[kTimeStampSize] = {};
};

// A required read whose absence stops the job: the absent key is the reason it is refused.
const char* readStoppingOption(const JobOptions& options, const char* key) {
    const char* value = getRequiredOption(options, key);
    if (value == nullptr) refuseJob(missingOptionReason(key));
    return value;
}

struct RequiredKey {
    const char* key;
    const char* BlockValues::*value;
};

// The reads every block makes, in order: the user-code flag, the block's required keys (the
// first absent one ends the block), the time stamp, then the user code while it is enabled.
bool readBlockValues(const JobOptions& options, std::initializer_list<RequiredKey> required,
                     BlockValues& values) {
    const bool userCodeEnabled = isOptionTrue(options, keys::kEnableUserCode);
    for (const RequiredKey& entry : required) {
        const char* value = readStoppingOption(options, entry.key);
        if (value == nullptr) return false;
        values.*entry.value = value;
    }
    formatCompactTime(values.timeStamp);
    if (userCodeEnabled) {
        const char* userCode = readStoppingOption(options, keys::kUserCode);
        if (userCode == nullptr) return false;
        values.userCode = userCode;
    }
    return true;
}

void appendUserInformation(BoundedText& text, std::string_view L, const BlockValues& v) {
    appendLine(text, L, 0, "mark");
    appendLine(text, L, 0, "  (", Quoted{v.userID}, ") (", Quoted{v.userCode}, ") (",
               Quoted{v.timeStamp}, ") {setuserinfo} stopped");
    appendLine(text, L, 0, "cleartomark");
}

constexpr RequiredKey kUserIDKey{keys::kUserID, &BlockValues::userID};
constexpr RequiredKey kPasswordKey{keys::kPassword, &BlockValues::password};
constexpr RequiredKey kFileNameKey{keys::kFileName, &BlockValues::fileName};

int appendStoredJobBlock(const JobOptions& options, BoundedText& text, std::string_view L,
                         const char* saveMode) {
    BlockValues v;
    if (!readBlockValues(options, {kUserIDKey, kPasswordKey, kFileNameKey}, v)) return 1;
    appendUserInformation(text, L, v);
    appendLine(text, L, 0, "mark {");
    appendLine(text, L, 0, "<<");
    appendLine(text, L, 1, "/JobType 3");
    appendLine(text, L, 1, "/JobInfo <<\t/UserID (", Quoted{v.userID}, ")");
    appendLine(text, L, 2, "/Time (", Quoted{v.timeStamp}, ")");
    appendLine(text, L, 2, "/Password (", Quoted{v.password}, ")");
    appendLine(text, L, 2, "/JobID (", Quoted{v.fileName}, ")");
    appendLine(text, L, 1, ">>");
    appendLine(text, L, 1, "/JobAttr <<\t", saveMode);
    appendLine(text, L, 2, "/Public false");
    appendLine(text, L, 2, ">>");
    appendLine(text, L, 0, ">> /ZDeviceProcSet /ProcSet findresource /SetJobType get exec");
    appendLine(text, L, 0, "} stopped cleartomark");
    return 0;
}

}  // namespace

BlockOperation jobTypeFromOptions(const JobOptions& options) {
    const char* jobType = options.get(keys::kJobType);
    if (jobType == nullptr) return appendDefaultBlock;
    struct Choice {
        keys::JobType type;
        BlockOperation operation;
    };
    static constexpr Choice kChoices[] = {
        {keys::JobType::LockedPrint, appendLockedPrintBlock},
        {keys::JobType::SamplePrint, appendSamplePrintBlock},
        {keys::JobType::DocumentServer, appendDocumentServerBlock},
        {keys::JobType::PausedPrint, appendPausedPrintBlock},
        {keys::JobType::SavedPrint, appendSavedPrintBlock},
        {keys::JobType::SaveDocumentPrint, appendSaveDocumentPrintBlock},
    };
    for (const Choice& choice : kChoices) {
        if (std::strcmp(jobType, keys::storedName(choice.type)) == 0) return choice.operation;
    }
    return appendDefaultBlock;
}

void appendProcedureDefinitions(BoundedText& text, std::string_view L) {
    for (const ProcedureLine& line : kProcedureLines) appendLine(text, L, line.tabs, line.content);
}

int appendDefaultBlock(const JobOptions& options, BoundedText& text, std::string_view L) {
    BlockValues v;
    const bool userCodeEnabled = isOptionTrue(options, keys::kEnableUserCode);
    // An absent user ID is recorded but written as empty; the job goes on.
    if (const char* userID = getRequiredOption(options, keys::kUserID)) v.userID = userID;
    formatCompactTime(v.timeStamp);
    if (userCodeEnabled) {
        const char* userCode = readStoppingOption(options, keys::kUserCode);
        if (userCode == nullptr) return 1;
        v.userCode = userCode;
    }
    appendUserInformation(text, L, v);
    return 0;
}

int appendSamplePrintBlock(const JobOptions& options, BoundedText& text, std::string_view L) {
    BlockValues v;
    if (!readBlockValues(options, {kUserIDKey}, v)) return 1;
    appendUserInformation(text, L, v);
    appendLine(text, L, 0, "mark");
    appendLine(text, L, 0, "  (", Quoted{v.userID}, ") (", Quoted{v.timeStamp},
               ") {proofprint} stopped");
    appendLine(text, L, 0, "cleartomark");
    return 0;
}

int appendLockedPrintBlock(const JobOptions& options, BoundedText& text, std::string_view L) {
    BlockValues v;
    if (!readBlockValues(options, {kUserIDKey, kPasswordKey}, v)) return 1;
    appendUserInformation(text, L, v);
    appendLine(text, L, 0, "mark");
    appendLine(text, L, 0, "  (", Quoted{v.userID}, ") (", Quoted{v.timeStamp}, ") (",
               Quoted{v.password}, ") {secureprint} stopped");
    appendLine(text, L, 0, "cleartomark");
    return 0;
}

int appendDocumentServerBlock(const JobOptions& options, BoundedText& text, std::string_view L) {
    BlockValues v;
    if (!readBlockValues(options, {kUserIDKey, kPasswordKey, kFileNameKey}, v)) return 1;
    appendUserInformation(text, L, v);
    appendLine(text, L, 0, "mark");
    appendLine(text, L, 0, "  (", Quoted{v.userID}, ") (", Quoted{v.timeStamp}, ") (",
               Quoted{v.password}, ") (", Quoted{v.fileName}, ") {storedprint} stopped");
    appendLine(text, L, 0, "cleartomark");
    return 0;
}

int appendPausedPrintBlock(const JobOptions& options, BoundedText& text, std::string_view L) {
    BlockValues v;
    if (!readBlockValues(options, {kUserIDKey, kFileNameKey}, v)) return 1;
    appendUserInformation(text, L, v);

    if (!isOptionTrue(options, keys::kSpecifyTimeKeySupport)) {
        appendLine(text, L, 0, "mark {");
        appendLine(text, L, 0, "<<");
        appendLine(text, L, 1, "/JobType 3");
        appendLine(text, L, 1, "/JobInfo <<\t/UserID (", Quoted{v.userID}, ")");
        appendLine(text, L, 2, "/Time (", Quoted{v.timeStamp}, ")");
        appendLine(text, L, 2, "/JobID (", Quoted{v.fileName}, ")");
        appendLine(text, L, 1, ">>");
        appendLine(text, L, 0, ">> /ZDeviceProcSet /ProcSet findresource /SetJobType get exec");
        appendLine(text, L, 0, "} stopped cleartomark");
        return 0;
    }

    const char* reservedTime = nullptr;
    if (isOptionTrue(options, keys::kEnableSpecifyTime)) {
        reservedTime = readStoppingOption(options, keys::kSpecifyTime);
        if (reservedTime == nullptr) return 1;
    }
    appendLine(text, L, 0, "mark {");
    appendLine(text, L, 1, "<< /JobType 3");
    appendLine(text, L, 1, "/JobInfo");
    appendLine(text, L, 1, "<<");
    appendLine(text, L, 2, "/UserID (", Quoted{v.userID}, ")");
    appendLine(text, L, 2, "/Time(", Quoted{v.timeStamp}, ")");
    appendLine(text, L, 2, "/JobID (", Quoted{v.fileName}, ")");
    if (reservedTime != nullptr) {
        appendLine(text, L, 2, "isGenuine not isEnhancedFeatures or {");
        appendLine(text, L, 2, "/PrintReservedTime(", Quoted{reservedTime}, ")");
        appendLine(text, L, 2, "}if");
    }
    appendLine(text, L, 1, ">>");
    appendLine(text, L, 1, "/JobAttr << /Save 0 >>");
    appendLine(text, L, 1, ">> /ZDeviceProcSet /ProcSet findresource /SetJobType get exec");
    appendLine(text, L, 0, "} stopped cleartomark");
    return 0;
}

int appendSavedPrintBlock(const JobOptions& options, BoundedText& text, std::string_view L) {
    return appendStoredJobBlock(options, text, L, "/Save 1");
}

int appendSaveDocumentPrintBlock(const JobOptions& options, BoundedText& text,
                                 std::string_view L) {
    return appendStoredJobBlock(options, text, L, "/Save 2");
}

}  // namespace jobtypefilter
