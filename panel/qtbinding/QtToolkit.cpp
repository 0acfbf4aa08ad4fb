#include "QtToolkit.h"

namespace kordavine::qt {

std::shared_ptr<platform::TextFieldPeer> QtToolkit::makeTextField(bool secure) {
    return std::make_shared<QtTextField>(secure, observer_);
}

std::shared_ptr<platform::PopUpPeer> QtToolkit::makePopUp() {
    return std::make_shared<QtPopUp>(observer_);
}

std::shared_ptr<platform::ButtonPeer> QtToolkit::makeCheckBox() {
    return std::make_shared<QtCheckBox>(observer_);
}

std::shared_ptr<platform::ViewPeer> QtToolkit::makeView() {
    return std::make_shared<QtView>(observer_);
}

}  // namespace kordavine::qt
