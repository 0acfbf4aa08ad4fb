// The state of every control of a view as JSON, keyed by the controls' identifiers.
#pragma once

#include <nlohmann/json.hpp>

#include "Controls.h"

namespace kordavine::headless {

// Per control: its class, hidden and enabled; text and colour for text fields; the items and
// the selected title (null when none) for pop-ups; the state and title for check boxes.
nlohmann::json snapshotOf(const platform::View& view);

}  // namespace kordavine::headless
