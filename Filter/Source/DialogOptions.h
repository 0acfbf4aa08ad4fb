// The options the print dialogs send, turned into the filter's own keys. A printer's PPD
// declares JobType, UserID, Password, FileName and UserCode, so that GTK's and LibreOffice's
// dialogs, lp and lpoptions can set them; an IPP client sends a PIN as job-password and an
// account as job-account-id or job-billing. One step, right after the options are parsed, fills
// the com.varlo.printsettings keys from them; everything after it reads those keys only.
#pragma once

#include "JobOptions.h"

namespace jobtypefilter {

// What the filter knows of the job besides its options.
struct JobOrigin {
    const char* userName = nullptr;  // argument 2: the user who submitted the job
    const char* ppdPath = nullptr;   // the queue's PPD, from the environment variable PPD
};

// Fills the keys from the dialog options, checks what came from them with the panel's rules and
// answers true; or answers false with the reason for the refusal recorded (refuseJob). Nothing
// is changed for a job without dialog options.
//
// - A com.varlo.printsettings key that is present wins over every dialog option for it.
// - JobType=<keyword> (SamplePrint, LockedPrint, ...) gives the stored job type; a keyword the
//   table lacks, or a job type the queue's PPD does not offer, is refused.
// - UserID, Password, FileName and UserCode give their keys, with a leading "Custom." removed;
//   "None", "Custom" and an empty value mean not set. A user code that is set turns
//   EnableUserCode on.
// - job-password (with job-password-encryption absent or "none"; anything else is refused) gives
//   the password when Password does not, and makes a job without a job type a Locked Print.
//   job-account-id, else a job-billing that passes the user-code rule, gives the user code.
// - Where the job type comes from the dialog options: a user ID it needs and nobody gave is the
//   job's user name when that passes the user-ID rule; a required value nobody gave refuses the
//   job ("Locked Print needs a password of 4 digits"); the optional ones are written empty, as
//   the panel writes them.
// - Values from the dialog options are checked as the panel checks its entries, the password
//   against the model's length (4 digits, or 4 to 8 with long passwords).
bool translateDialogOptions(JobOptions& options, const JobOrigin& origin);

}  // namespace jobtypefilter
