#include "JobTypeBlocks.h"

#include <array>
#include <cstddef>

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
    {1,
     "{userdict /4b1e7d2c90 known { userdict /4b1e7d2c90 get /EnhancedFeatures known} "
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

// The values one block writes; every one of them goes between parentheses. The password and the
// file name are read, and written, only by the blocks that require them.
struct BlockValues {
    const char* userID = "";
    const char* password = nullptr;
    const char* fileName = nullptr;
    const char* userCode = "";
    char timeStamp[kTimeStampSize] = {};
};

// The reads every block makes, in order: the user-code flag; the user ID, the password and the
// file name the job type requires (the first absent one ends the block); the time stamp; then the
// user code while it is enabled. A user ID that is not required is still read with the required
// read, which records its absence, and is written as empty when absent.
bool readBlockValues(const JobOptions& options, const keys::RequiredOptions& required,
                     BlockValues& values) {
    const bool userCodeEnabled = isOptionTrue(options, keys::kEnableUserCode);
    if (required.userID) {
        values.userID = readStoppingOption(options, keys::kUserID);
        if (values.userID == nullptr) return false;
    } else if (const char* userID = getRequiredOption(options, keys::kUserID)) {
        values.userID = userID;
    }
    if (required.password) {
        values.password = readStoppingOption(options, keys::kPassword);
        if (values.password == nullptr) return false;
    }
    if (required.fileName) {
        values.fileName = readStoppingOption(options, keys::kFileName);
        if (values.fileName == nullptr) return false;
    }
    formatCompactTime(values.timeStamp);
    if (userCodeEnabled) {
        values.userCode = readStoppingOption(options, keys::kUserCode);
        if (values.userCode == nullptr) return false;
    }
    return true;
}

void appendUserInformation(BoundedText& text, std::string_view L, const BlockValues& v) {
    appendLine(text, L, 0, "mark");
    appendLine(text, L, 0, "  (", Quoted{v.userID}, ") (", Quoted{v.userCode}, ") (",
               Quoted{v.timeStamp}, ") {setuserinfo} stopped");
    appendLine(text, L, 0, "cleartomark");
}

// One more value handed to a device procedure, " (value)"; nothing where the block has none.
struct Operand {
    const char* value;
};

void appendPiece(BoundedText& text, Operand operand) {
    if (operand.value == nullptr) return;
    text.append(" (");
    text.appendEscaped(operand.value);
    text.append(")");
}

// The device procedure runs with the user ID, the time stamp and whichever of the password and
// the file name the job type requires, in that order.
void appendDeviceCall(BoundedText& text, std::string_view L, const BlockValues& v,
                      const char* procedure) {
    appendLine(text, L, 0, "mark");
    appendLine(text, L, 0, "  (", Quoted{v.userID}, ") (", Quoted{v.timeStamp}, ")",
               Operand{v.password}, Operand{v.fileName}, " {", procedure, "} stopped");
    appendLine(text, L, 0, "cleartomark");
}

// The job dictionary for SetJobType: the job information, with the password where the job type
// requires one, and the job attributes of a job that is kept (saveMode), none otherwise.
void appendJobDictionary(BoundedText& text, std::string_view L, const BlockValues& v,
                         const char* saveMode) {
    appendLine(text, L, 0, "mark {");
    appendLine(text, L, 0, "<<");
    appendLine(text, L, 1, "/JobType 3");
    appendLine(text, L, 1, "/JobInfo <<\t/UserID (", Quoted{v.userID}, ")");
    appendLine(text, L, 2, "/Time (", Quoted{v.timeStamp}, ")");
    if (v.password != nullptr) appendLine(text, L, 2, "/Password (", Quoted{v.password}, ")");
    appendLine(text, L, 2, "/JobID (", Quoted{v.fileName}, ")");
    appendLine(text, L, 1, ">>");
    if (saveMode != nullptr) {
        appendLine(text, L, 1, "/JobAttr <<\t", saveMode);
        appendLine(text, L, 2, "/Public false");
        appendLine(text, L, 2, ">>");
    }
    appendLine(text, L, 0, ">> /ZDeviceProcSet /ProcSet findresource /SetJobType get exec");
    appendLine(text, L, 0, "} stopped cleartomark");
}

// The held job: the plain job dictionary where the printer takes no reserved-time keys, else
// the dictionary with job attributes, and with the reserved print time while it is enabled.
// False when the reserved time is enabled but absent.
bool appendHeldJob(const JobOptions& options, BoundedText& text, std::string_view L,
                   const BlockValues& v) {
    if (!isOptionTrue(options, keys::kSpecifyTimeKeySupport)) {
        appendJobDictionary(text, L, v, nullptr);
        return true;
    }

    const char* reservedTime = nullptr;
    if (isOptionTrue(options, keys::kEnableSpecifyTime)) {
        reservedTime = readStoppingOption(options, keys::kSpecifyTime);
        if (reservedTime == nullptr) return false;
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
    return true;
}

// What follows the user information in a job type's block.
enum class BlockShape {
    UserInformationOnly,
    DeviceCall,  // one call of the device procedure
    HeldJob,     // the held job's dictionary for SetJobType, in one of three forms
    StoredJob,   // the job dictionary for SetJobType, kept as saveMode says
};

struct JobTypeBlock {
    keys::JobType type;
    BlockShape shape;
    const char* procedure;  // DeviceCall only
    const char* saveMode;   // StoredJob only
};

constexpr std::array<JobTypeBlock, 7> kBlocks{{
    {keys::JobType::Normal, BlockShape::UserInformationOnly, nullptr, nullptr},
    {keys::JobType::SamplePrint, BlockShape::DeviceCall, "proofprint", nullptr},
    {keys::JobType::LockedPrint, BlockShape::DeviceCall, "secureprint", nullptr},
    {keys::JobType::PausedPrint, BlockShape::HeldJob, nullptr, nullptr},
    {keys::JobType::SavedPrint, BlockShape::StoredJob, nullptr, "/Save 1"},
    {keys::JobType::SaveDocumentPrint, BlockShape::StoredJob, nullptr, "/Save 2"},
    {keys::JobType::DocumentServer, BlockShape::DeviceCall, "storedprint", nullptr},
}};

static_assert(keys::rowsFollowTheJobTypes(kBlocks));

}  // namespace

keys::JobType jobTypeFromOptions(const JobOptions& options) {
    const char* jobType = options.get(keys::kJobType);
    if (jobType == nullptr) return keys::JobType::Normal;
    return keys::jobTypeFromStoredName(jobType).value_or(keys::JobType::Normal);
}

void appendProcedureDefinitions(BoundedText& text, std::string_view L) {
    for (const ProcedureLine& line : kProcedureLines) appendLine(text, L, line.tabs, line.content);
}

int appendJobTypeBlock(const JobOptions& options, keys::JobType type, BoundedText& text,
                       std::string_view L) {
    BlockValues v;
    if (!readBlockValues(options, keys::rowOf(type).filterRequires, v)) return 1;
    appendUserInformation(text, L, v);
    const JobTypeBlock& block = kBlocks[static_cast<std::size_t>(type)];
    switch (block.shape) {
        case BlockShape::UserInformationOnly:
            break;
        case BlockShape::DeviceCall:
            appendDeviceCall(text, L, v, block.procedure);
            break;
        case BlockShape::HeldJob:
            if (!appendHeldJob(options, text, L, v)) return 1;
            break;
        case BlockShape::StoredJob:
            appendJobDictionary(text, L, v, block.saveMode);
            break;
    }
    return 0;
}

}  // namespace jobtypefilter
