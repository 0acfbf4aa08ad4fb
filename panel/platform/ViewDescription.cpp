// Loading a view description: a JSON resource naming the root view and its controls,
//   {"class": "NSView", "outlet": "outputBinsView",
//    "controls": [{"class": "NSTextField", "customClass": "UserIDFieldS", "outlet": "UserIDField",
//                  "identifier": "UserIDField", "editable": true, "hidden": false, "enabled": true,
//                  "text": "", "color": "black", "row": "UserID", "column": "entry"},
//                 {"class": "NSPopUpButton", "outlet": "JobTypeSelection", "action":
//                 "ChangeJobType:",
//                  "items": ["Normal Print"]},
//                 {"class": "NSButton", "outlet": "EnableUserCode", "action":
//                 "ChangeOnOffUserCode:",
//                  "title": "Enable User Code", "state": 0}]}
// Texts, titles and items are looked up in the bundle's strings table. "row" and "column" (label,
// entry or note) place a control in the form a screen toolkit lays out; rows follow in the order
// the description first names them. Every control is made before any outlet is connected, so a
// description that fails connects nothing.
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>

#include "Bundle.h"
#include "ClassRegistry.h"
#include "DialogServices.h"

namespace kordavine::platform {

namespace {

using nlohmann::json;

class DescriptionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct MadeControl {
    std::shared_ptr<Control> control;
    std::string outlet;
    std::optional<FormPlace> place;
};

std::optional<FormPlace> formPlaceOf(const json& description) {
    if (!description.contains("row")) {
        if (description.contains("column")) throw DescriptionError("a column without a row");
        return std::nullopt;
    }
    FormPlace place{description["row"].get<std::string>(), FormColumn::Entry};
    const std::string column = description.value("column", std::string("entry"));
    if (column == "label") {
        place.column = FormColumn::Label;
    } else if (column == "note") {
        place.column = FormColumn::Note;
    } else if (column != "entry") {
        throw DescriptionError("unknown column " + column);
    }
    return place;
}

class ViewBuilder {
  public:
    ViewBuilder(const Bundle& bundle, Toolkit& toolkit, const std::shared_ptr<NibOwner>& owner)
        : bundle_(bundle), toolkit_(toolkit), owner_(owner) {}

    MadeControl make(const json& description) {
        const std::string kind = description.at("class").get<std::string>();
        std::shared_ptr<Control> control;
        if (kind == "NSTextField" || kind == "NSSecureTextField") {
            control = makeTextField(description, kind == "NSSecureTextField");
        } else if (kind == "NSPopUpButton") {
            control = makePopUp(description);
        } else if (kind == "NSButton") {
            control = makeCheckBox(description);
        } else {
            throw DescriptionError("unknown control class " + kind);
        }
        if (description.contains("hidden")) control->setHidden(description["hidden"].get<bool>());
        if (description.contains("enabled"))
            control->setEnabled(description["enabled"].get<bool>());
        const std::string outlet = description.value("outlet", std::string());
        control->setIdentifier(description.value("identifier", outlet));
        return {control, outlet, formPlaceOf(description)};
    }

  private:
    std::string localized(const json& text) const {
        return bundle_.localizedStringForKey(text.get<std::string>());
    }

    std::shared_ptr<Control> makeTextField(const json& description, bool secure) {
        auto peer = toolkit_.makeTextField(secure);
        std::shared_ptr<TextField> field;
        if (description.contains("customClass")) {
            const std::string className = description["customClass"].get<std::string>();
            const auto make = textFieldClassNamed(className);
            if (!make) throw DescriptionError("unknown class " + className);
            field = make(peer);
            const bool classIsSecure = std::dynamic_pointer_cast<SecureTextField>(field) != nullptr;
            if (!field || classIsSecure != secure)
                throw DescriptionError("class " + className + " does not fit its control");
        } else if (secure) {
            field = std::make_shared<SecureTextField>(peer);
        } else {
            field = std::make_shared<TextField>(peer);
        }
        peer->setEditable(description.value("editable", true));
        if (description.contains("text")) field->setStringValue(localized(description["text"]));
        if (description.contains("color")) {
            const std::string color = description["color"].get<std::string>();
            if (color != "black" && color != "lightGray")
                throw DescriptionError("unknown colour " + color);
            field->setTextColor(color == "black" ? LabelColor::Black : LabelColor::LightGray);
        }
        field->listenForTextChanges();
        return field;
    }

    std::shared_ptr<Control> makePopUp(const json& description) {
        auto peer = toolkit_.makePopUp();
        auto popUp = std::make_shared<PopUpButton>(peer);
        for (const auto& item : description.value("items", json::array()))
            popUp->addItemWithTitle(localized(item));
        if (description.contains("selected"))
            popUp->selectItemWithTitle(localized(description["selected"]));
        connectAction(description, *peer, popUp);
        return popUp;
    }

    std::shared_ptr<Control> makeCheckBox(const json& description) {
        auto peer = toolkit_.makeCheckBox();
        auto button = std::make_shared<Button>(peer);
        if (description.contains("title")) button->setTitle(localized(description["title"]));
        button->setState(description.value("state", 0));
        connectAction(description, *peer, button);
        return button;
    }

    template <class Peer>
    void connectAction(const json& description, Peer& peer,
                       const std::shared_ptr<Control>& control) {
        if (!description.contains("action")) return;
        const std::string selector = description["action"].get<std::string>();
        std::weak_ptr<NibOwner> owner = owner_;
        std::weak_ptr<Control> sender = control;
        peer.setActionHandler([owner, sender, selector] {
            const auto target = owner.lock();
            if (target && !target->performAction(selector, sender.lock())) {
                NSLog("The owner of the view does not perform " + selector);
            }
        });
    }

    const Bundle& bundle_;
    Toolkit& toolkit_;
    std::shared_ptr<NibOwner> owner_;
};

}  // namespace

bool Bundle::loadNibNamed(std::string_view name, const std::shared_ptr<NibOwner>& owner) const {
    const std::string fileName = std::string(name) + ".view.json";
    const auto host = toolkit();
    if (!owner || !host) return false;
    const auto bytes = readResource(fileName);
    if (!bytes) {
        NSLog("Cannot find the view description " + fileName);
        return false;
    }
    std::shared_ptr<View> root;
    std::vector<MadeControl> made;
    std::string rootOutlet;
    try {
        const json description = json::parse(*bytes);
        if (description.at("class").get<std::string>() != "NSView")
            throw DescriptionError("the root is not a view");
        ViewBuilder builder(*this, *host, owner);
        for (const auto& control : description.value("controls", json::array()))
            made.push_back(builder.make(control));
        root = std::make_shared<View>(host->makeView());
        rootOutlet = description.value("outlet", std::string());
    } catch (const std::exception& error) {
        NSLog("Cannot load the view description " + fileName + ": " + error.what());
        return false;
    }
    for (const auto& entry : made) root->addSubview(entry.control, entry.place);
    for (const auto& entry : made) {
        if (!entry.outlet.empty() && !owner->connectOutlet(entry.outlet, entry.control)) {
            NSLog("Cannot connect the outlet " + entry.outlet);
        }
    }
    if (!rootOutlet.empty() && !owner->connectOutlet(rootOutlet, root))
        NSLog("Cannot connect the outlet " + rootOutlet);
    return true;
}

}  // namespace kordavine::platform
