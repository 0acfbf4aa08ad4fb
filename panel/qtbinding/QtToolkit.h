// The Qt toolkit: makes the widget peers of a view description. A host may watch the user's
// actions on every control it made (after the panel has handled each one).
#pragma once

#include <functional>
#include <memory>

#include "ControlPeers.h"
#include "QtControls.h"

namespace kordavine::qt {

class QtToolkit : public platform::Toolkit {
  public:
    std::shared_ptr<platform::TextFieldPeer> makeTextField(bool secure) override;
    std::shared_ptr<platform::PopUpPeer> makePopUp() override;
    std::shared_ptr<platform::ButtonPeer> makeCheckBox() override;
    std::shared_ptr<platform::ViewPeer> makeView() override;

    // Called after each user action on any control made from now on or before.
    void setUserActionObserver(std::function<void()> observer) { *observer_ = std::move(observer); }

  private:
    UserActionObserver observer_ = std::make_shared<std::function<void()>>();
};

}  // namespace kordavine::qt
