#include "ClassRegistry.h"

#include <map>

namespace kordavine::platform {

namespace {

struct RegisteredClass {
    std::shared_ptr<Bundle> bundle;
    FactoryClass factory;
    TextFieldClass textField;
};

std::map<std::string, RegisteredClass, std::less<>>& classes() {
    static std::map<std::string, RegisteredClass, std::less<>> registered;
    return registered;
}

RegisteredClass& entryFor(std::string_view name, const std::shared_ptr<Bundle>& bundle) {
    auto& entry = classes()[std::string(name)];
    entry.bundle = bundle;
    return entry;
}

}  // namespace

void ClassRegistrar::registerClass(std::string_view name) {
    entryFor(name, bundle_);
}

void ClassRegistrar::registerFactoryClass(std::string_view name, FactoryClass make) {
    entryFor(name, bundle_).factory = std::move(make);
}

void ClassRegistrar::registerTextFieldClass(std::string_view name, TextFieldClass make) {
    entryFor(name, bundle_).textField = std::move(make);
}

std::shared_ptr<Bundle> bundleForClass(std::string_view name) {
    const auto found = classes().find(name);
    if (found == classes().end() || !found->second.bundle) return Bundle::empty();
    return found->second.bundle;
}

std::shared_ptr<PDEPluginFactory> makeFactoryOfClass(std::string_view name) {
    const auto found = classes().find(name);
    if (found == classes().end() || !found->second.factory) return nullptr;
    return found->second.factory();
}

TextFieldClass textFieldClassNamed(std::string_view name) {
    const auto found = classes().find(name);
    if (found == classes().end()) return {};
    return found->second.textField;
}

}  // namespace kordavine::platform
