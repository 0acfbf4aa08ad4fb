// The owner of a loaded view description: it takes the controls the description connects to its
// outlets and receives the actions the controls send.
#pragma once

#include <memory>
#include <string_view>

#include "Controls.h"

namespace kordavine::platform {

class NibOwner {
  public:
    virtual ~NibOwner() = default;
    // Connects the outlet of that name; false when the owner has no such outlet or the control
    // is not of the outlet's class.
    virtual bool connectOutlet(std::string_view outlet,
                               const std::shared_ptr<Control>& control) = 0;
    // Performs the action of that selector; false when the owner has no such action.
    virtual bool performAction(std::string_view selector,
                               const std::shared_ptr<Control>& sender) = 0;
};

}  // namespace kordavine::platform
