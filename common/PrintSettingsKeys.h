// The print-settings vocabulary shared by the Job Log panel and the job-type filter.
// The panel writes these keys into the job's print settings; the print system hands them to the
// filter as CUPS job options under the same names.
#pragma once

#include <array>

// The values of the JobType key, and the rules that go with each.
#include "JobTypes.h"

namespace varlo::printsettings {

inline constexpr char kKeyPrefix[] = "com.varlo.printsettings.";

// Written by the panel, read by the filter.
inline constexpr char kJobType[] = "com.varlo.printsettings.JobType";
inline constexpr char kUserID[] = "com.varlo.printsettings.UserID";
inline constexpr char kPassword[] = "com.varlo.printsettings.Password";
inline constexpr char kFileName[] = "com.varlo.printsettings.FileName";
inline constexpr char kUserCode[] = "com.varlo.printsettings.UserCode";
inline constexpr char kEnableUserCode[] = "com.varlo.printsettings.EnableUserCode";
inline constexpr char kTimeZone[] = "com.varlo.printsettings.TimeZone";

// Reserved print time, written by other components of the driver family.
inline constexpr char kSpecifyTimeKeySupport[] = "com.varlo.printsettings.SpecifyTimeKeySupport";
inline constexpr char kEnableSpecifyTime[] = "com.varlo.printsettings.EnableSpecifyTime";
inline constexpr char kSpecifyTime[] = "com.varlo.printsettings.SpecifyTime";

// Copy-control marking, written by other components of the driver family.
inline constexpr char kCCPCopyControlType[] = "com.varlo.printsettings.CCPCopyControlType";
inline constexpr char kCCPTextType[] = "com.varlo.printsettings.CCPTextType";
inline constexpr char kCCPCustomText[] = "com.varlo.printsettings.CCPCustomText";
inline constexpr char kCCPUserName[] = "com.varlo.printsettings.CCPUserName";
inline constexpr char kCCPJobName[] = "com.varlo.printsettings.CCPJobName";
inline constexpr char kCCPFont[] = "com.varlo.printsettings.CCPFont";
inline constexpr char kCCPSize[] = "com.varlo.printsettings.CCPSize";
inline constexpr char kCCPAngle[] = "com.varlo.printsettings.CCPAngle";
inline constexpr char kCCPLineSpace[] = "com.varlo.printsettings.CCPLineSpace";
inline constexpr char kCCPRepeat[] = "com.varlo.printsettings.CCPRepeat";
inline constexpr char kCCPPosition[] = "com.varlo.printsettings.CCPPosition";
inline constexpr char kCCPEffect[] = "com.varlo.printsettings.CCPEffect";
inline constexpr char kCCPMaskType[] = "com.varlo.printsettings.CCPMaskType";
inline constexpr char kCCPDensity[] = "com.varlo.printsettings.CCPDensity";
inline constexpr char kCCPColor[] = "com.varlo.printsettings.CCPColor";

// Every key above, for the checks that must know all of them.
inline constexpr std::array<const char*, 25> kAllKeys{
    kJobType,           kUserID,         kPassword,           kFileName,
    kUserCode,          kEnableUserCode, kTimeZone,           kSpecifyTimeKeySupport,
    kEnableSpecifyTime, kSpecifyTime,    kCCPCopyControlType, kCCPTextType,
    kCCPCustomText,     kCCPUserName,    kCCPJobName,         kCCPFont,
    kCCPSize,           kCCPAngle,       kCCPLineSpace,       kCCPRepeat,
    kCCPPosition,       kCCPEffect,      kCCPMaskType,        kCCPDensity,
    kCCPColor,
};

// The options the printer's PPD declares for the print dialogs, and the IPP job attributes that
// carry a PIN or an account; CUPS hands them to the filter under these names.
inline constexpr char kDialogJobType[] = "JobType";
inline constexpr char kDialogUserID[] = "UserID";
inline constexpr char kDialogPassword[] = "Password";
inline constexpr char kDialogFileName[] = "FileName";
inline constexpr char kDialogUserCode[] = "UserCode";
inline constexpr char kJobPassword[] = "job-password";
inline constexpr char kJobPasswordEncryption[] = "job-password-encryption";
inline constexpr char kJobAccountID[] = "job-account-id";
inline constexpr char kJobBilling[] = "job-billing";

inline constexpr std::array<const char*, 9> kDialogOptionNames{
    kDialogJobType, kDialogUserID,          kDialogPassword, kDialogFileName, kDialogUserCode,
    kJobPassword,   kJobPasswordEncryption, kJobAccountID,   kJobBilling,
};

// Flag values as the panel writes them; the filter accepts "true" in any letter case.
inline constexpr char kTrue[] = "true";
inline constexpr char kFalse[] = "false";

}  // namespace varlo::printsettings
