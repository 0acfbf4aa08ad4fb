// A toolkit without a screen: controls that keep their properties in memory, and the user's
// actions on them (typing, pasting, picking an entry, toggling), which raise the same
// notifications and actions a real toolkit raises. A disabled or hidden control takes no user
// action, as on screen.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ControlPeers.h"

namespace kordavine::headless {

using platform::LabelColor;

template <class Peer>
class HeadlessControl : public Peer {
  public:
    void setHidden(bool hidden) override { hidden_ = hidden; }
    bool isHidden() const override { return hidden_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    // Whether the user can reach the control at all.
    bool takesUserActions() const { return enabled_ && !hidden_; }

  private:
    bool hidden_ = false;
    bool enabled_ = true;
};

class HeadlessTextField : public HeadlessControl<platform::TextFieldPeer> {
  public:
    explicit HeadlessTextField(bool secure) : secure_(secure) {}

    std::string text() const override { return text_; }
    void setText(const std::string& text) override { text_ = text; }
    void setTextColor(LabelColor color) override { color_ = color; }
    LabelColor textColor() const override { return color_; }
    bool isSecure() const override { return secure_; }
    void setEditable(bool editable) override { editable_ = editable; }
    bool isEditable() const { return editable_; }
    void setTextDidChangeHandler(std::function<void()> handler) override {
        handler_ = std::move(handler);
    }

    // Types text one character at a time at the end of the field; every keystroke is an edit.
    bool userTypes(const std::string& text);
    // Inserts text as one edit at a character position (clamped to the end), as a paste does.
    bool userInserts(const std::string& text, std::optional<std::size_t> position = std::nullopt);
    // Selects everything and types over it as one edit (an empty text clears the field).
    bool userReplaces(const std::string& text);

  private:
    bool takesEdits() const { return editable_ && takesUserActions(); }
    void edited();

    std::string text_;
    LabelColor color_ = LabelColor::Black;
    bool secure_;
    bool editable_ = true;
    std::function<void()> handler_;
};

class HeadlessPopUp : public HeadlessControl<platform::PopUpPeer> {
  public:
    void removeAllItems() override;
    void addItem(const std::string& title) override;
    void selectItem(const std::string& title) override;
    std::optional<std::string> selectedTitle() const override;
    std::vector<std::string> itemTitles() const override { return items_; }
    void setActionHandler(std::function<void()> handler) override { action_ = std::move(handler); }

    // Picks the entry with that title and sends the action; false when there is none.
    bool userPicks(const std::string& title);

  private:
    std::vector<std::string> items_;
    std::optional<std::size_t> selected_;
    std::function<void()> action_;
};

class HeadlessCheckBox : public HeadlessControl<platform::ButtonPeer> {
  public:
    int state() const override { return state_; }
    void setState(int state) override { state_ = state; }
    std::string title() const override { return title_; }
    void setTitle(const std::string& title) override { title_ = title; }
    void setActionHandler(std::function<void()> handler) override { action_ = std::move(handler); }

    // Turns the box off when it is on (any state but 0), on otherwise, and sends the action.
    bool userToggles();

  private:
    int state_ = 0;
    std::string title_;
    std::function<void()> action_;
};

class HeadlessView : public HeadlessControl<platform::ViewPeer> {};

class HeadlessToolkit : public platform::Toolkit {
  public:
    std::shared_ptr<platform::TextFieldPeer> makeTextField(bool secure) override;
    std::shared_ptr<platform::PopUpPeer> makePopUp() override;
    std::shared_ptr<platform::ButtonPeer> makeCheckBox() override;
    std::shared_ptr<platform::ViewPeer> makeView() override;
};

}  // namespace kordavine::headless
