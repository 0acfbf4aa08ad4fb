// The print dialog's callback object, handed to a driver panel when it is created: the job's
// print settings and the printer's parsed PPD, either of which may be none.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "PrintSettings.h"

struct ppd_file_s;

namespace kordavine::platform {

class PDEPluginCallback {
  public:
    virtual ~PDEPluginCallback() = default;
    virtual PMPrintSettings printSettings() const = 0;
    // Borrowed: the dialog owns the PPD.
    virtual ppd_file_s* ppdFile() const = 0;
    virtual bool respondsToSelector(std::string_view selector) const = 0;
};

// The callback object of our own print dialog.
class DialogCallback : public PDEPluginCallback {
  public:
    DialogCallback(PMPrintSettings settings, ppd_file_s* ppd,
                   std::set<std::string, std::less<>> selectors = {})
        : settings_(std::move(settings)), ppd_(ppd), selectors_(std::move(selectors)) {}

    PMPrintSettings printSettings() const override { return settings_; }
    ppd_file_s* ppdFile() const override { return ppd_; }
    bool respondsToSelector(std::string_view selector) const override {
        return selectors_.contains(selector);
    }

  private:
    PMPrintSettings settings_;
    ppd_file_s* ppd_;
    std::set<std::string, std::less<>> selectors_;
};

}  // namespace kordavine::platform
