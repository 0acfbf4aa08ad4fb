// Loading a print dialog extension as the print dialog does: the bundle's descriptor names the
// module and the principal class; loading the module registers its classes; the principal class
// is made and handed its bundle.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "Bundle.h"
#include "PrintDialogExtension.h"

namespace kordavine::platform {

struct LoadedPlugIn {
    std::shared_ptr<Bundle> bundle;
    std::shared_ptr<PDEPluginFactory> factory;
};

// The loaded extension, or what went wrong. A module, once loaded, stays loaded for the life of
// the process, as the objects it made may outlive the caller's interest in it.
std::variant<LoadedPlugIn, std::string> loadPrintDialogExtension(
    const std::filesystem::path& bundlePath, std::string_view language);

}  // namespace kordavine::platform
