// The queue's PPD as the filter reads it: CUPS names it in the environment variable PPD, and the
// five attributes there say which job types the model offers and how long its passwords are.
#pragma once

#include <optional>

#include "PrinterAttributes.h"

namespace jobtypefilter {

// The attributes of the PPD at ppdPath, read with libcups; none when there is no path or the
// file cannot be read as a PPD.
std::optional<varlo::printsettings::PrinterAttributes> readPrinterAttributes(const char* ppdPath);

}  // namespace jobtypefilter
