// The script language of the scripted dialog: a table of commands by name. Each command plays
// one dialog call or user action on the session and answers a JSON value (the call's answer).
// Further commands are added from any source file of the driver with a DialogCommandRegistration.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "DialogSession.h"

namespace kordavine::driver {

// What one script may ask: a script plays at most kMaxSteps steps, and a string argument of a
// step (a text typed or pasted, a title, a control's name) holds at most kMaxArgumentBytes. The
// entry fields keep 16 characters at most, so longer texts only cost memory and time.
inline constexpr std::size_t kMaxSteps = 1000;
inline constexpr std::size_t kMaxArgumentBytes = 4096;

// A script step that cannot run as written (unknown command, missing argument, an argument out
// of bounds), or a script longer than kMaxSteps.
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
// A string argument of a step; a ScriptError when it is missing or longer than
// kMaxArgumentBytes.
std::string stringArgument(const nlohmann::json& step, std::string_view name);
// An optional argument that counts characters: none when it is left out, a ScriptError when it
// is not a whole number from 0.
std::optional<std::size_t> positionArgument(const nlohmann::json& step, std::string_view name);

// Runs every step in order, appending {"do", "answer"} (and the step's "control") to the
// session's answers.
void runScript(DialogSession& session, const nlohmann::json& script);

}  // namespace kordavine::driver
