#include "HeadlessControls.h"

#include <algorithm>

namespace kordavine::headless {

namespace {

// Byte offset of the character at position in UTF-8 text; the end for positions past it.
std::size_t byteOffsetOfCharacter(const std::string& text, std::size_t position) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < text.size() && seen < position; ++seen) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return at;
}

// The text split into its characters (UTF-8 sequences).
std::vector<std::string> charactersOf(const std::string& text) {
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = at + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        characters.push_back(text.substr(at, end - at));
        at = end;
    }
    return characters;
}

}  // namespace

void HeadlessTextField::edited() {
    if (handler_) handler_();
}

bool HeadlessTextField::userTypes(const std::string& text) {
    if (!takesEdits()) return false;
    for (const auto& character : charactersOf(text)) {
        text_ += character;
        edited();
    }
    return true;
}

bool HeadlessTextField::userInserts(const std::string& text, std::optional<std::size_t> position) {
    if (!takesEdits()) return false;
    const std::size_t at = position ? byteOffsetOfCharacter(text_, *position) : text_.size();
    text_.insert(at, text);
    edited();
    return true;
}

bool HeadlessTextField::userReplaces(const std::string& text) {
    if (!takesEdits()) return false;
    text_ = text;
    edited();
    return true;
}

void HeadlessPopUp::removeAllItems() {
    items_.clear();
    selected_.reset();
}

void HeadlessPopUp::addItem(const std::string& title) {
    // A pop-up's first entry is selected as soon as it is added.
    items_.push_back(title);
    if (!selected_) selected_ = 0;
}

void HeadlessPopUp::selectItem(const std::string& title) {
    const auto found = std::find(items_.begin(), items_.end(), title);
    if (found != items_.end()) selected_ = static_cast<std::size_t>(found - items_.begin());
}

std::optional<std::string> HeadlessPopUp::selectedTitle() const {
    if (!selected_) return std::nullopt;
    return items_[*selected_];
}

bool HeadlessPopUp::userPicks(const std::string& title) {
    if (!takesUserActions()) return false;
    const auto found = std::find(items_.begin(), items_.end(), title);
    if (found == items_.end()) return false;
    selected_ = static_cast<std::size_t>(found - items_.begin());
    if (action_) action_();
    return true;
}

bool HeadlessCheckBox::userToggles() {
    if (!takesUserActions()) return false;
    state_ = state_ == 0 ? 1 : 0;
    if (action_) action_();
    return true;
}

std::shared_ptr<platform::TextFieldPeer> HeadlessToolkit::makeTextField(bool secure) {
    return std::make_shared<HeadlessTextField>(secure);
}

std::shared_ptr<platform::PopUpPeer> HeadlessToolkit::makePopUp() {
    return std::make_shared<HeadlessPopUp>();
}

std::shared_ptr<platform::ButtonPeer> HeadlessToolkit::makeCheckBox() {
    return std::make_shared<HeadlessCheckBox>();
}

std::shared_ptr<platform::ViewPeer> HeadlessToolkit::makeView() {
    return std::make_shared<HeadlessView>();
}

}  // namespace kordavine::headless
