// An outlet: a non-owning link from an owner to a control that a view description creates.
// Until it is connected, and after the control is gone, it stands for an absent control that
// ignores every change and reads as empty, so code using it never checks for it.
#pragma once

#include <memory>

namespace kordavine::platform {

template <class ControlClass>
class Outlet {
  public:
    void connect(const std::shared_ptr<ControlClass>& control) { control_ = control; }
    bool isConnected() const { return !control_.expired(); }

    // The connected control, or the absent stand-in.
    std::shared_ptr<ControlClass> get() const {
        if (auto control = control_.lock()) return control;
        return absent();
    }
    std::shared_ptr<ControlClass> operator->() const { return get(); }

  private:
    static std::shared_ptr<ControlClass> absent() {
        // A control without a peer holds no state of its own, so one stand-in serves all.
        static const auto stand_in = std::make_shared<ControlClass>();
        return stand_in;
    }

    std::weak_ptr<ControlClass> control_;
};

}  // namespace kordavine::platform
