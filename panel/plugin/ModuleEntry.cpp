// The module's entry point, called by the host when it loads the bundle.
#include "ClassRegistry.h"
#include "JobLogClasses.h"
#include "kordavineJobLogC.h"

extern "C" __attribute__((visibility("default"))) void kordavineRegisterClasses(
    kordavine::platform::ClassRegistrar& registrar) {
    using kordavine::joblog::kordavineJobLogC;
    kordavine::joblog::registerJobLogClasses(registrar);
    registrar.registerFactoryClass(kordavineJobLogC::kClassName,
                                   [] { return std::make_shared<kordavineJobLogC>(); });
}
