// The control classes as the panel uses them. Each wraps the toolkit's peer; every property is
// set and read through the peer. A control whose peer does not exist ignores every change and
// reads as empty (no text, no selection, state off).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ControlPeers.h"

namespace kordavine::platform {

class Control : public std::enable_shared_from_this<Control> {
  public:
    virtual ~Control() = default;
    void setHidden(bool hidden);
    bool isHidden() const;
    void setEnabled(bool enabled);
    bool isEnabled() const;
    // The class name, as a view description names it.
    virtual const char* className() const = 0;
    virtual std::shared_ptr<ControlPeer> peer() const = 0;
    // The name a view description gives the control, by which hosts and scripts find it.
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

  private:
    std::string identifier_;
};

class TextField : public Control {
  public:
    explicit TextField(std::shared_ptr<TextFieldPeer> peer = nullptr);
    std::string stringValue() const;
    // Puts text in; raises no change notification.
    void setStringValue(const std::string& text);
    void setTextColor(LabelColor color);
    std::optional<LabelColor> textColor() const;
    // Sent by the toolkit after each edit by the user; the plain field does nothing with it.
    virtual void textDidChange();

    const char* className() const override { return "NSTextField"; }
    std::shared_ptr<ControlPeer> peer() const override { return peer_; }
    // Routes the peer's change notifications to textDidChange.
    void listenForTextChanges();

  private:
    std::shared_ptr<TextFieldPeer> peer_;
};

class SecureTextField : public TextField {
  public:
    using TextField::TextField;
    const char* className() const override { return "NSSecureTextField"; }
};

class PopUpButton : public Control {
  public:
    explicit PopUpButton(std::shared_ptr<PopUpPeer> peer = nullptr);
    void removeAllItems();
    void addItemWithTitle(const std::string& title);
    void selectItemWithTitle(const std::string& title);
    std::optional<std::string> titleOfSelectedItem() const;
    std::vector<std::string> itemTitles() const;

    const char* className() const override { return "NSPopUpButton"; }
    std::shared_ptr<ControlPeer> peer() const override { return peer_; }
    std::shared_ptr<PopUpPeer> popUpPeer() const { return peer_; }

  private:
    std::shared_ptr<PopUpPeer> peer_;
};

class Button : public Control {
  public:
    explicit Button(std::shared_ptr<ButtonPeer> peer = nullptr);
    // 0 is off; any other value counts as on.
    int state() const;
    void setState(int state);
    std::string title() const;
    void setTitle(const std::string& title);

    const char* className() const override { return "NSButton"; }
    std::shared_ptr<ControlPeer> peer() const override { return peer_; }
    std::shared_ptr<ButtonPeer> buttonPeer() const { return peer_; }

  private:
    std::shared_ptr<ButtonPeer> peer_;
};

// A root view: it keeps the controls loaded into it alive.
class View : public Control {
  public:
    explicit View(std::shared_ptr<ViewPeer> peer = nullptr);
    void addSubview(std::shared_ptr<Control> control);
    // Adds a control and hands it, with its place in the form, to the toolkit.
    void addSubview(std::shared_ptr<Control> control, const std::optional<FormPlace>& place);
    const std::vector<std::shared_ptr<Control>>& subviews() const { return subviews_; }
    // The subview with that identifier; none when there is no such subview.
    std::shared_ptr<Control> subviewWithIdentifier(std::string_view identifier) const;

    const char* className() const override { return "NSView"; }
    std::shared_ptr<ControlPeer> peer() const override { return peer_; }

  private:
    std::shared_ptr<ViewPeer> peer_;
    std::vector<std::shared_ptr<Control>> subviews_;
};

}  // namespace kordavine::platform
