#include "DialogSession.h"

#include "FormSnapshot.h"

namespace kordavine::driver {

nlohmann::json DialogSession::settingsSnapshot() const {
    if (!settings) return nullptr;
    nlohmann::json values = nlohmann::json::object();
    for (const auto& [key, value] : settings->values()) values[key] = value;
    return values;
}

nlohmann::json DialogSession::formSnapshot() const {
    if (!view) return nullptr;
    return headless::snapshotOf(*view);
}

nlohmann::json DialogSession::result() const {
    return nlohmann::json{{"answers", answers}, {"alerts", alerts},         {"log", log},
                          {"releases", releases}, {"settings", settingsSnapshot()}, {"form", formSnapshot()}};
}

}  // namespace kordavine::driver
