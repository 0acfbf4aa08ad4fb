// The script language of the scripted dialog: a table of commands by name. Each command plays
// one dialog call or user action on the session and answers a JSON value (the call's answer).
// Further commands are added from any source file of the driver with a DialogCommandRegistration.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "DialogSession.h"

namespace kordavine::driver {

// A script step that cannot run as written (unknown command, missing argument).
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using DialogCommand = std::function<nlohmann::json(DialogSession&, const nlohmann::json& step)>;

std::map<std::string, DialogCommand, std::less<>>& dialogCommands();

struct DialogCommandRegistration {
    DialogCommandRegistration(std::string name, DialogCommand command);
};

// The panel the factory supplied; a ScriptError before "create" (or when it supplied none).
platform::PDEPanel& panelOf(DialogSession& session);
// A string argument of a step; a ScriptError when it is missing.
std::string stringArgument(const nlohmann::json& step, std::string_view name);

// Runs every step in order, appending {"do", "answer"} (and the step's "control") to the
// session's answers.
void runScript(DialogSession& session, const nlohmann::json& script);

}  // namespace kordavine::driver
