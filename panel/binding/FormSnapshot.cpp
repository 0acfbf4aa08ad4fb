#include "FormSnapshot.h"

namespace kordavine::headless {

namespace {

const char* colorName(platform::LabelColor color) {
    return color == platform::LabelColor::Black ? "black" : "lightGray";
}

nlohmann::json snapshotOf(const platform::Control& control) {
    nlohmann::json entry{{"class", control.className()},
                         {"hidden", control.isHidden()},
                         {"enabled", control.isEnabled()}};
    if (const auto* field = dynamic_cast<const platform::TextField*>(&control)) {
        entry["text"] = field->stringValue();
        if (const auto color = field->textColor()) entry["color"] = colorName(*color);
    } else if (const auto* popUp = dynamic_cast<const platform::PopUpButton*>(&control)) {
        entry["items"] = popUp->itemTitles();
        const auto selected = popUp->titleOfSelectedItem();
        entry["selected"] = selected ? nlohmann::json(*selected) : nlohmann::json(nullptr);
    } else if (const auto* button = dynamic_cast<const platform::Button*>(&control)) {
        entry["state"] = button->state();
        entry["title"] = button->title();
    }
    return entry;
}

}  // namespace

nlohmann::json snapshotOf(const platform::View& view) {
    nlohmann::json form = nlohmann::json::object();
    for (const auto& control : view.subviews()) {
        if (!control->identifier().empty()) form[control->identifier()] = snapshotOf(*control);
    }
    return form;
}

}  // namespace kordavine::headless
