#include "Controls.h"

namespace kordavine::platform {

void Control::setHidden(bool hidden) {
    if (auto p = peer()) p->setHidden(hidden);
}

bool Control::isHidden() const {
    auto p = peer();
    return p && p->isHidden();
}

void Control::setEnabled(bool enabled) {
    if (auto p = peer()) p->setEnabled(enabled);
}

bool Control::isEnabled() const {
    auto p = peer();
    return p && p->isEnabled();
}

TextField::TextField(std::shared_ptr<TextFieldPeer> peer) : peer_(std::move(peer)) {}

std::string TextField::stringValue() const {
    return peer_ ? peer_->text() : std::string();
}

void TextField::setStringValue(const std::string& text) {
    if (peer_) peer_->setText(text);
}

void TextField::setTextColor(LabelColor color) {
    if (peer_) peer_->setTextColor(color);
}

std::optional<LabelColor> TextField::textColor() const {
    if (!peer_) return std::nullopt;
    return peer_->textColor();
}

void TextField::textDidChange() {}

void TextField::listenForTextChanges() {
    if (!peer_) return;
    std::weak_ptr<Control> self = weak_from_this();
    peer_->setTextDidChangeHandler([self] {
        if (auto field = std::static_pointer_cast<TextField>(self.lock())) field->textDidChange();
    });
}

PopUpButton::PopUpButton(std::shared_ptr<PopUpPeer> peer) : peer_(std::move(peer)) {}

void PopUpButton::removeAllItems() {
    if (peer_) peer_->removeAllItems();
}

void PopUpButton::addItemWithTitle(const std::string& title) {
    if (peer_) peer_->addItem(title);
}

void PopUpButton::selectItemWithTitle(const std::string& title) {
    if (peer_) peer_->selectItem(title);
}

std::optional<std::string> PopUpButton::titleOfSelectedItem() const {
    if (!peer_) return std::nullopt;
    return peer_->selectedTitle();
}

std::vector<std::string> PopUpButton::itemTitles() const {
    return peer_ ? peer_->itemTitles() : std::vector<std::string>{};
}

Button::Button(std::shared_ptr<ButtonPeer> peer) : peer_(std::move(peer)) {}

int Button::state() const {
    return peer_ ? peer_->state() : 0;
}

void Button::setState(int state) {
    if (peer_) peer_->setState(state);
}

std::string Button::title() const {
    return peer_ ? peer_->title() : std::string();
}

void Button::setTitle(const std::string& title) {
    if (peer_) peer_->setTitle(title);
}

View::View(std::shared_ptr<ViewPeer> peer) : peer_(std::move(peer)) {}

void View::addSubview(std::shared_ptr<Control> control) {
    addSubview(std::move(control), std::nullopt);
}

void View::addSubview(std::shared_ptr<Control> control, const std::optional<FormPlace>& place) {
    if (peer_ && control->peer()) peer_->placeControl(control->peer(), place);
    subviews_.push_back(std::move(control));
}

std::shared_ptr<Control> View::subviewWithIdentifier(std::string_view identifier) const {
    for (const auto& control : subviews_) {
        if (control->identifier() == identifier) return control;
    }
    return nullptr;
}

}  // namespace kordavine::platform
