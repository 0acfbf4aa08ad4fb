// The factory of the Job Log extension, the bundle's principal class: the print dialog asks it
// for the panels of a panel type.
#pragma once

#include <functional>
#include <memory>

#include "KordavineJobLogPDE.h"
#include "PrintDialogExtension.h"

namespace kordavine::joblog {

class kordavineJobLogC final : public platform::PDEPluginFactory {
  public:
    static constexpr char kClassName[] = "kordavineJobLogC";

    using PanelMaker = std::function<std::shared_ptr<platform::PDEPanel>(
        std::shared_ptr<platform::PDEPluginCallback>)>;
    // makePanel stands in for the panel's creation where a caller must see it fail.
    explicit kordavineJobLogC(PanelMaker makePanel = KordavineJobLogPDE::initWithCallback);

    bool initWithBundle(const std::shared_ptr<platform::Bundle>& bundle) override;
    std::optional<platform::PDEPanelList> PDEPanelsForType(
        std::string_view type,
        const std::shared_ptr<platform::PDEPluginCallback>& hostInfo) override;

  private:
    PanelMaker makePanel_;
};

}  // namespace kordavine::joblog
