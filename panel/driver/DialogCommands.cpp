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

namespace {

// A value as it stands in the script, cut short for an error message.
std::string excerptOf(const json& value) {
    constexpr std::size_t kExcerptBytes = 60;
    std::string text = value.dump(-1, ' ', true);
    if (text.size() > kExcerptBytes) text = text.substr(0, kExcerptBytes) + "...";
    return text;
}

}  // namespace

platform::PDEPanel& panelOf(DialogSession& session) {
    if (!session.panel)
        throw ScriptError("there is no panel: the script has not created one, or it was released");
    return *session.panel;
}

std::string stringArgument(const json& step, std::string_view name) {
    const auto found = step.find(name);
    if (found == step.end() || !found->is_string())
        throw ScriptError("the step needs a string \"" + std::string(name) + "\"");
    const auto& text = found->get_ref<const std::string&>();
    if (text.size() > kMaxArgumentBytes) {
        throw ScriptError("the step's \"" + std::string(name) + "\" holds " +
                          std::to_string(text.size()) + " bytes; a step takes at most " +
                          std::to_string(kMaxArgumentBytes));
    }
    return text;
}

std::optional<std::size_t> positionArgument(const json& step, std::string_view name) {
    const auto found = step.find(name);
    if (found == step.end()) return std::nullopt;
    if (!found->is_number_unsigned()) {
        throw ScriptError("the step's \"" + std::string(name) +
                          "\" is not a whole number from 0: " + excerptOf(*found));
    }
    return found->get<std::size_t>();
}

void runScript(DialogSession& session, const json& script) {
    if (!script.is_array()) throw ScriptError("the script is not a list of steps");
    if (script.size() > kMaxSteps) {
        throw ScriptError("the script has " + std::to_string(script.size()) +
                          " steps; it may have at most " + std::to_string(kMaxSteps));
    }
    for (const auto& step : script) {
        if (!step.is_object()) throw ScriptError("a step is not an object: " + excerptOf(step));
        const std::string name = stringArgument(step, "do");
        const auto command = dialogCommands().find(name);
        if (command == dialogCommands().end())
            throw ScriptError("unknown command \"" + name + "\"");
        json entry{{"do", name}, {"answer", command->second(session, step)}};
        if (step.contains("control")) entry["control"] = step["control"];
        session.record.answers.push_back(std::move(entry));
    }
}

namespace {

// The control a user action is aimed at; none while the dialog has no view or the view has no
// such control. The step's other arguments are read before it, so that a step is checked
// whole whether or not its control is there.
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
    {"name", panelCall}, {"kind", panelCall},    {"show", panelCall},
    {"hide", panelCall}, {"help", panelCall},    {"restore", panelCall},
    {"save", panelCall}, {"summary", panelCall}, {"should-print", panelCall},
};

// {"do": "create", "type": <panel type, the driver-panel type when left out>}: asks the factory
// for panels; answers how many it supplied, or null for none at all.
const DialogCommandRegistration create{
    "create", [](DialogSession& session, const json& step) -> json {
        const std::string type =
            step.value("type", std::string(platform::kPrinterDriverPanelsType));
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
                                            session.releasePanels();
                                            return nullptr;
                                        }};

// {"do": "type", "control": <field>, "text": <characters typed one by one>}
const DialogCommandRegistration type{"type", [](DialogSession& session, const json& step) -> json {
                                         const std::string text = stringArgument(step, "text");
                                         auto field =
                                             peerOf<headless::HeadlessTextField>(session, step);
                                         return field && field->userTypes(text);
                                     }};

// {"do": "paste", "control": <field>, "text": <pasted as one edit>, "at": <character position,
// the end when left out>}
const DialogCommandRegistration paste{
    "paste", [](DialogSession& session, const json& step) -> json {
        const std::string text = stringArgument(step, "text");
        const auto at = positionArgument(step, "at");
        auto field = peerOf<headless::HeadlessTextField>(session, step);
        return field && field->userInserts(text, at);
    }};

// {"do": "replace", "control": <field>, "text": <typed over the whole text as one edit>}
const DialogCommandRegistration replace{
    "replace", [](DialogSession& session, const json& step) -> json {
        const std::string text = stringArgument(step, "text");
        auto field = peerOf<headless::HeadlessTextField>(session, step);
        return field && field->userReplaces(text);
    }};

// {"do": "pick", "control": <pop-up>, "title": <an entry's title as shown>}
const DialogCommandRegistration pick{"pick", [](DialogSession& session, const json& step) -> json {
                                         const std::string title = stringArgument(step, "title");
                                         auto popUp =
                                             peerOf<headless::HeadlessPopUp>(session, step);
                                         return popUp && popUp->userPicks(title);
                                     }};

// {"do": "toggle", "control": <check box>}
const DialogCommandRegistration toggle{
    "toggle", [](DialogSession& session, const json& step) -> json {
        auto box = peerOf<headless::HeadlessCheckBox>(session, step);
        return box && box->userToggles();
    }};

// {"do": "form"} and {"do": "settings"}: the form and the print settings at this point.
const DialogCommandRegistration form{
    "form", [](DialogSession& session, const json&) -> json { return session.formSnapshot(); }};
const DialogCommandRegistration settings{
    "settings",
    [](DialogSession& session, const json&) -> json { return session.settingsSnapshot(); }};

}  // namespace

}  // namespace kordavine::driver
