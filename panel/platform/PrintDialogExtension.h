// What the print dialog calls on a dialog extension: the factory that the bundle names as its
// principal class, and the panels it supplies.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Controls.h"
#include "PluginCallback.h"

namespace kordavine::platform {

class Bundle;

// The panel type under which the dialog asks for the panels a printer driver supplies.
inline constexpr char kPrinterDriverPanelsType[] = "BDB091F4-E57F-11D3-B5CC-0050E4603277";

// The error out-parameter of restore and save.
using PDEError = std::optional<std::string>;
// The panel's summary: localized label to text.
using PDESummary = std::map<std::string, std::string>;

class PDEPanel {
  public:
    virtual ~PDEPanel() = default;
    virtual std::string panelName() = 0;
    virtual std::string panelKind() = 0;
    virtual std::shared_ptr<View> panelView() = 0;
    virtual void willShow() = 0;
    virtual bool shouldHide() = 0;
    virtual bool shouldShowHelp() = 0;
    virtual bool restoreValuesAndReturnError(PDEError* error) = 0;
    virtual bool saveValuesAndReturnError(PDEError* error) = 0;
    virtual PDESummary summaryInfo() = 0;
    virtual bool shouldPrint() = 0;
};

using PDEPanelList = std::vector<std::shared_ptr<PDEPanel>>;

class PDEPluginFactory {
  public:
    virtual ~PDEPluginFactory() = default;
    virtual bool initWithBundle(const std::shared_ptr<Bundle>& bundle) = 0;
    // The panels for a panel type; the empty list when the extension supplies none of that type,
    // none when a panel could not be made.
    virtual std::optional<PDEPanelList> PDEPanelsForType(
        std::string_view type, const std::shared_ptr<PDEPluginCallback>& hostInfo) = 0;
};

}  // namespace kordavine::platform
