#include "PlugInLoader.h"

#include <dlfcn.h>

#include "ClassRegistry.h"

namespace kordavine::platform {

namespace {

struct ModuleHandle {
    void operator()(void* handle) const { dlclose(handle); }
};

}  // namespace

std::variant<LoadedPlugIn, std::string> loadPrintDialogExtension(
    const std::filesystem::path& bundlePath, std::string_view language) {
    auto bundle = Bundle::open(bundlePath, language);
    if (!bundle) return "cannot read the bundle descriptor of " + bundlePath.string();
    const auto module = bundle->executablePath();
    if (module.empty()) return std::string("the bundle descriptor names no module");
    const auto principal = bundle->infoValue("NSPrincipalClass");
    if (!principal) return std::string("the bundle descriptor names no principal class");

    // RTLD_NODELETE keeps the module mapped after the handle is closed.
    std::unique_ptr<void, ModuleHandle> handle(
        dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!handle) return "cannot load the module: " + std::string(dlerror());
    auto entry = reinterpret_cast<ModuleEntry>(dlsym(handle.get(), kModuleEntryPoint));
    if (!entry) return std::string("the module has no entry point ") + kModuleEntryPoint;
    ClassRegistrar registrar(bundle);
    entry(registrar);

    auto factory = makeFactoryOfClass(*principal);
    if (!factory) return "the module has no class " + *principal;
    if (!factory->initWithBundle(bundle))
        return "the factory " + *principal + " refused its bundle";
    return LoadedPlugIn{bundle, factory};
}

}  // namespace kordavine::platform
