#include "JobLogClasses.h"

#include "CappedTextFields.h"
#include "KordavineJobLogPDE.h"

namespace kordavine::joblog {

namespace {

template <class FieldClass>
void registerField(platform::ClassRegistrar& registrar, const char* name) {
    registrar.registerTextFieldClass(name, [](std::shared_ptr<platform::TextFieldPeer> peer) {
        return std::make_shared<FieldClass>(std::move(peer));
    });
}

}  // namespace

void registerJobLogClasses(platform::ClassRegistrar& registrar) {
    registrar.registerClass(KordavineJobLogPDE::kClassName);
    registerField<UserIDFieldS>(registrar, "UserIDFieldS");
    registerField<DocNameFiledS>(registrar, "DocNameFiledS");
    registerField<PasswordFieldS>(registrar, "PasswordFieldS");
    registerField<LongPasswordFieldS>(registrar, "LongPasswordFieldS");
}

}  // namespace kordavine::joblog
