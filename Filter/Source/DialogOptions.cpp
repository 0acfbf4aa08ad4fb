#include "DialogOptions.h"

#include <optional>
#include <string>
#include <string_view>

#include "FieldRules.h"
#include "FilterStatus.h"
#include "PrintSettingsKeys.h"
#include "PrinterAttributes.h"
#include "PrinterModelFile.h"

namespace jobtypefilter {

namespace ps = varlo::printsettings;
using ps::FieldCheck;
using ps::JobType;

namespace {

// A PPD option's value as the dialogs send it, or none when it is not set: "None" is the
// default choice, "Custom" a custom choice without text (Qt), "Custom.<text>" a typed text
// (GTK, LibreOffice), anything else a value given as it is (lp -o UserID=alice).
std::optional<std::string> dialogValue(const JobOptions& options, const char* name) {
    const char* raw = options.get(name);
    if (raw == nullptr) return std::nullopt;
    std::string_view value(raw);
    if (value.empty() || value == "None" || value == "Custom") return std::nullopt;
    if (value.starts_with("Custom.")) value.remove_prefix(7);
    if (value.empty()) return std::nullopt;
    return std::string(value);
}

// An IPP attribute's value, or none when it is absent or empty.
std::optional<std::string> attributeValue(const JobOptions& options, const char* name) {
    const char* raw = options.get(name);
    if (raw == nullptr || raw[0] == '\0') return std::nullopt;
    return std::string(raw);
}

// The queue's model, read from its PPD the first time something asks for it.
class QueueModel {
  public:
    explicit QueueModel(const char* ppdPath) : ppdPath_(ppdPath) {}

    const ps::PrinterAttributes& attributes() {
        if (!attributes_) {
            auto read = readPrinterAttributes(ppdPath_);
            if (!read && ppdPath_ != nullptr && ppdPath_[0] != '\0') {
                reportWarning(
                    "the queue's PPD cannot be read; the job types and the 4-digit passwords of "
                    "a model without Job Log attributes apply");
            }
            attributes_ = read.value_or(ps::PrinterAttributes{});
        }
        return *attributes_;
    }

    ps::FieldRule passwordRule() { return ps::modelPasswordRule(attributes()); }

  private:
    const char* ppdPath_;
    std::optional<ps::PrinterAttributes> attributes_;
};

std::string passwordLength(const ps::FieldRule& rule) {
    return rule.minimum == rule.maximum
               ? std::to_string(rule.minimum) + " digits"
               : std::to_string(rule.minimum) + " to " + std::to_string(rule.maximum) + " digits";
}

bool refuse(std::string reason) {
    refuseJob(std::move(reason));
    return false;
}

// "Normal, SamplePrint, ... or DocumentServer".
std::string everyDialogKeyword() {
    std::string list;
    for (std::size_t i = 0; i < ps::kJobTypes.size(); ++i) {
        if (i > 0) list += i + 1 < ps::kJobTypes.size() ? ", " : " or ";
        list += ps::kJobTypes[i].dialogKeyword;
    }
    return list;
}

// The job type, and whether it comes from the dialog options; none when the job is refused.
struct ChosenType {
    JobType type;
    bool fromDialog;
};

std::optional<ChosenType> chooseJobType(const JobOptions& options, QueueModel& model, bool hasPin) {
    if (const char* stored = options.get(ps::kJobType)) {
        // Names outside the table print as Normal, as they always have.
        return ChosenType{ps::jobTypeFromStoredName(stored).value_or(JobType::Normal), false};
    }
    if (const auto keyword = dialogValue(options, ps::kDialogJobType)) {
        const auto type = ps::jobTypeFromDialogKeyword(*keyword);
        if (!type) {
            refuse("JobType names no job type: use " + everyDialogKeyword());
            return std::nullopt;
        }
        if (ps::isJobTypeOffered(model.attributes(), *type)) return ChosenType{*type, true};
        refuse(std::string("This printer does not offer ") + ps::displayTitle(*type) +
               " (JobType=" + ps::dialogKeyword(*type) + ")");
        return std::nullopt;
    }
    if (hasPin) return ChosenType{JobType::LockedPrint, true};
    return ChosenType{JobType::Normal, false};
}

}  // namespace

bool translateDialogOptions(JobOptions& options, const JobOrigin& origin) {
    QueueModel model(origin.ppdPath);

    const auto pin = attributeValue(options, ps::kJobPassword);
    if (pin) {
        const char* encryption = options.get(ps::kJobPasswordEncryption);
        if (encryption != nullptr && std::string_view(encryption) != "none") {
            return refuse(
                "The PIN (job-password) must come unencrypted (job-password-encryption none): "
                "the printer checks it itself");
        }
    }

    const auto chosen = chooseJobType(options, model, pin.has_value());
    if (!chosen) return false;
    const JobType type = chosen->type;
    const ps::FieldDemands demands = ps::rowOf(type).checks;
    const std::string title = ps::displayTitle(type);

    // Each value the filter's key does not already hold, from the dialog options.
    std::optional<std::string> userID, password, fileName, userCode;
    bool userCodeFromAccount = false;
    if (options.get(ps::kUserID) == nullptr) {
        userID = dialogValue(options, ps::kDialogUserID);
        if (!userID && chosen->fromDialog && demands.userID == FieldCheck::Required &&
            origin.userName != nullptr &&
            !ps::failsRule(origin.userName, ps::kUserIDRequiredRule)) {
            userID = origin.userName;
        }
    }
    if (options.get(ps::kPassword) == nullptr) {
        password = dialogValue(options, ps::kDialogPassword);
        if (!password) password = pin;
    }
    if (options.get(ps::kFileName) == nullptr) {
        fileName = dialogValue(options, ps::kDialogFileName);
    }
    if (options.get(ps::kUserCode) == nullptr) {
        userCode = dialogValue(options, ps::kDialogUserCode);
        if (!userCode) {
            userCode = attributeValue(options, ps::kJobAccountID);
            userCodeFromAccount = userCode.has_value();
        }
        if (!userCode) {
            const auto billing = attributeValue(options, ps::kJobBilling);
            if (billing && !ps::failsRule(*billing, ps::kUserCodeRule)) userCode = billing;
        }
    }

    // The panel's checks, in its order: user ID, file name, password, user code.
    if (userID && ps::failsUserID(*userID, demands.userID)) {
        return refuse(demands.userID == FieldCheck::Required
                          ? title + " needs a user ID of 1 to 8 letters and digits"
                          : std::string("The user ID must be up to 8 letters and digits"));
    }
    if (fileName && demands.fileName && ps::failsRule(*fileName, ps::kFileNameRule)) {
        return refuse("The file name must be up to 16 letters and digits");
    }
    if (password && ps::failsPassword(*password, demands.password, model.passwordRule())) {
        const std::string length = passwordLength(model.passwordRule());
        return refuse(demands.password == FieldCheck::Required
                          ? title + " needs a password of " + length
                          : "The password for " + title + " must be " + length + ", or none");
    }
    if (userCode && ps::failsRule(*userCode, ps::kUserCodeRule)) {
        return refuse(userCodeFromAccount
                          ? "The account ID (job-account-id) must be up to 8 digits to serve as "
                            "the user code"
                          : "The user code must be up to 8 digits");
    }

    // What a job type chosen in the dialog needs and nobody gave.
    if (chosen->fromDialog) {
        if (demands.userID == FieldCheck::Required && options.get(ps::kUserID) == nullptr &&
            !userID) {
            return refuse(title + " needs a user ID of 1 to 8 letters and digits");
        }
        if (demands.password == FieldCheck::Required && options.get(ps::kPassword) == nullptr &&
            !password) {
            return refuse(title + " needs a password of " + passwordLength(model.passwordRule()));
        }
        options.set(ps::kJobType, ps::storedName(type));
    }

    if (userID) options.set(ps::kUserID, userID->c_str());
    if (password) options.set(ps::kPassword, password->c_str());
    if (fileName) options.set(ps::kFileName, fileName->c_str());
    if (userCode) {
        options.set(ps::kUserCode, userCode->c_str());
        if (options.get(ps::kEnableUserCode) == nullptr) {
            options.set(ps::kEnableUserCode, ps::kTrue);
        }
    }
    if (chosen->fromDialog) {
        // The optional values nobody gave stand empty, as the panel writes them.
        if (demands.userID != FieldCheck::None && options.get(ps::kUserID) == nullptr) {
            options.set(ps::kUserID, "");
        }
        if (demands.fileName && options.get(ps::kFileName) == nullptr) {
            options.set(ps::kFileName, "");
        }
        if (demands.password != FieldCheck::None && options.get(ps::kPassword) == nullptr) {
            options.set(ps::kPassword, "");
        }
    }
    return true;
}

}  // namespace jobtypefilter
