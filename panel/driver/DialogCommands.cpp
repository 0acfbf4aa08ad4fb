#include "DialogCommands.h"

#include "HeadlessControls.h"

namespace kordavine::driver {

using nlohmann::json;

std::map<std::string, DialogCommand, std::less<>>& dialogCommands() {
    static std::map<std::string, DialogCommand, std::less<>> commands;
    return commands;
}

DialogCommandRegistration::DialogCommandRegistration(std::string name, DialogCommand command) {
    dialogCommands().insert_or_assign(std::move(name), std::move(command));
}

platform::PDEPanel& panelOf(DialogSession& session) {
    if (!session.panel) throw ScriptError("there is no panel: the script has not created one, or it was released");
    return *session.panel;
}

std::string stringArgument(const json& step, std::string_view name) {
    const auto found = step.find(name);
    if (found == step.end() || !found->is_string()) throw ScriptError("the step needs a string \"" + std::string(name) + "\"");
    return found->get<std::string>();
}

void runScript(DialogSession& session, const json& script) {
    if (!script.is_array()) throw ScriptError("the script is not a list of steps");
    for (const auto& step : script) {
        if (!step.is_object()) throw ScriptError("a step is not an object: " + step.dump());
        const std::string name = stringArgument(step, "do");
        const auto command = dialogCommands().find(name);
        if (command == dialogCommands().end()) throw ScriptError("unknown command \"" + name + "\"");
        json entry{{"do", name}, {"answer", command->second(session, step)}};
        if (step.contains("control")) entry["control"] = step["control"];
        session.answers.push_back(std::move(entry));
    }
}

namespace {

// The control a user action is aimed at; none while the dialog has no view or the view has no
// such control.
template <class Peer>
std::shared_ptr<Peer> peerOf(DialogSession& session, const json& step) {
    const std::string identifier = stringArgument(step, "control");
    if (!session.view) return nullptr;
    const auto control = session.view->subviewWithIdentifier(identifier);
    if (!control) return nullptr;
    return std::dynamic_pointer_cast<Peer>(control->peer());
}

json panelCall(DialogSession& session, const json& step) {
    const std::string call = stringArgument(step, "do");
    auto& panel = panelOf(session);
    if (call == "name") return panel.panelName();
    if (call == "kind") return panel.panelKind();
    if (call == "show") {
        panel.willShow();
        return nullptr;
    }
    if (call == "hide") return panel.shouldHide();
    if (call == "help") return panel.shouldShowHelp();
    if (call == "restore") {
        platform::PDEError error;
        const bool answer = panel.restoreValuesAndReturnError(&error);
        return error ? json{{"answer", answer}, {"error", *error}} : json(answer);
    }
    if (call == "save") {
        platform::PDEError error;
        const bool answer = panel.saveValuesAndReturnError(&error);
        return error ? json{{"answer", answer}, {"error", *error}} : json(answer);
    }
    if (call == "summary") return panel.summaryInfo();
    if (call == "should-print") return panel.shouldPrint();
    throw ScriptError("no panel call " + call);
}

const DialogCommandRegistration panelCalls[] = {
    {"name", panelCall}, {"kind", panelCall},    {"show", panelCall},    {"hide", panelCall},
    {"help", panelCall}, {"restore", panelCall}, {"save", panelCall},    {"summary", panelCall},
    {"should-print", panelCall},
};

// {"do": "create", "type": <panel type, the driver-panel type when left out>}: asks the factory
// for panels; answers how many it supplied, or null for none at all.
const DialogCommandRegistration create{"create", [](DialogSession& session, const json& step) -> json {
    const std::string type = step.value("type", std::string(platform::kPrinterDriverPanelsType));
    const auto panels = session.plugIn.factory->PDEPanelsForType(type, session.callback);
    if (!panels) return nullptr;
    session.panels = *panels;
    if (!session.panels.empty()) session.panel = session.panels.front();
    return session.panels.size();
}};

// {"do": "view"}: asks for the panel's view; answers whether there is one.
const DialogCommandRegistration view{"view", [](DialogSession& session, const json&) -> json {
    session.view = panelOf(session).panelView();
    return session.view != nullptr;
}};

// {"do": "release"}: the dialog lets go of the view and the panels.
const DialogCommandRegistration release{"release", [](DialogSession& session, const json&) -> json {
    session.view.reset();
    session.panel.reset();
    session.panels.clear();
    return nullptr;
}};

// {"do": "type", "control": <field>, "text": <characters typed one by one>}
const DialogCommandRegistration type{"type", [](DialogSession& session, const json& step) -> json {
    auto field = peerOf<headless::HeadlessTextField>(session, step);
    return field && field->userTypes(stringArgument(step, "text"));
}};

// {"do": "paste", "control": <field>, "text": <pasted as one edit>, "at": <character position,
// the end when left out>}
const DialogCommandRegistration paste{"paste", [](DialogSession& session, const json& step) -> json {
    auto field = peerOf<headless::HeadlessTextField>(session, step);
    std::optional<std::size_t> at;
    if (step.contains("at")) at = step["at"].get<std::size_t>();
    return field && field->userInserts(stringArgument(step, "text"), at);
}};

// {"do": "replace", "control": <field>, "text": <typed over the whole text as one edit>}
const DialogCommandRegistration replace{"replace", [](DialogSession& session, const json& step) -> json {
    auto field = peerOf<headless::HeadlessTextField>(session, step);
    return field && field->userReplaces(stringArgument(step, "text"));
}};

// {"do": "pick", "control": <pop-up>, "title": <an entry's title as shown>}
const DialogCommandRegistration pick{"pick", [](DialogSession& session, const json& step) -> json {
    auto popUp = peerOf<headless::HeadlessPopUp>(session, step);
    return popUp && popUp->userPicks(stringArgument(step, "title"));
}};

// {"do": "toggle", "control": <check box>}
const DialogCommandRegistration toggle{"toggle", [](DialogSession& session, const json& step) -> json {
    auto box = peerOf<headless::HeadlessCheckBox>(session, step);
    return box && box->userToggles();
}};

// {"do": "form"} and {"do": "settings"}: the form and the print settings at this point.
const DialogCommandRegistration form{"form", [](DialogSession& session, const json&) -> json {
    return session.formSnapshot();
}};
const DialogCommandRegistration settings{"settings", [](DialogSession& session, const json&) -> json {
    return session.settingsSnapshot();
}};

}  // namespace

}  // namespace kordavine::driver
