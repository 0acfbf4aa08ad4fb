// The classes that loaded modules make known to the host, by name, with the bundle each came
// from: the dialog finds a bundle's factory by the class name its descriptor gives, a view
// description names the classes of its text fields, and a class asks for its own bundle.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Bundle.h"
#include "Controls.h"
#include "PrintDialogExtension.h"

namespace kordavine::platform {

using FactoryClass = std::function<std::shared_ptr<PDEPluginFactory>()>;
using TextFieldClass = std::function<std::shared_ptr<TextField>(std::shared_ptr<TextFieldPeer>)>;

// Handed to a module's entry point while its bundle loads; every class it registers belongs to
// that bundle.
class ClassRegistrar {
  public:
    explicit ClassRegistrar(std::shared_ptr<Bundle> bundle) : bundle_(std::move(bundle)) {}
    void registerClass(std::string_view name);
    void registerFactoryClass(std::string_view name, FactoryClass make);
    void registerTextFieldClass(std::string_view name, TextFieldClass make);

  private:
    std::shared_ptr<Bundle> bundle_;
};

// The bundle whose module registered the class; the empty bundle for a class no bundle did.
std::shared_ptr<Bundle> bundleForClass(std::string_view name);
// A new instance of a registered factory class; none for an unknown name.
std::shared_ptr<PDEPluginFactory> makeFactoryOfClass(std::string_view name);
// The registered text-field class of that name; empty for an unknown name.
TextFieldClass textFieldClassNamed(std::string_view name);

// The entry point a module exports under kModuleEntryPoint.
using ModuleEntry = void (*)(ClassRegistrar&);
inline constexpr char kModuleEntryPoint[] = "kordavineRegisterClasses";

}  // namespace kordavine::platform
