#include "kordavineJobLogC.h"

namespace kordavine::joblog {

kordavineJobLogC::kordavineJobLogC(PanelMaker makePanel) : makePanel_(std::move(makePanel)) {}

bool kordavineJobLogC::initWithBundle(const std::shared_ptr<platform::Bundle>&) {
    return true;
}

std::optional<platform::PDEPanelList> kordavineJobLogC::PDEPanelsForType(
    std::string_view type, const std::shared_ptr<platform::PDEPluginCallback>& hostInfo) {
    platform::PDEPanelList panels;
    if (type != platform::kPrinterDriverPanelsType) return panels;
    auto panel = makePanel_(hostInfo);
    if (!panel) return std::nullopt;
    panels.push_back(std::move(panel));
    return panels;
}

}  // namespace kordavine::joblog
