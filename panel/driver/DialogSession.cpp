#include "DialogSession.h"

#include "DialogServices.h"
#include "FormSnapshot.h"

namespace kordavine::driver {

RecordingSinks::RecordingSinks(DialogRecord& record) {
    platform::setAlertSink(
        [&record](std::string_view message) { record.alerts.emplace_back(message); });
    platform::setLogSink([&record](std::string_view line) { record.log.emplace_back(line); });
    platform::setReleaseSink(
        [&record](std::string_view what) { record.releases.emplace_back(what); });
}

RecordingSinks::~RecordingSinks() {
    platform::setAlertSink(nullptr);
    platform::setLogSink(nullptr);
    platform::setReleaseSink(nullptr);
}

void DialogSession::releasePanels() {
    view.reset();
    panel.reset();
    panels.clear();
}

void DialogSession::close() {
    releasePanels();
    callback.reset();
}

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
    return nlohmann::json{
        {"answers", record.answers},   {"alerts", record.alerts},        {"log", record.log},
        {"releases", record.releases}, {"settings", settingsSnapshot()}, {"form", formSnapshot()}};
}

}  // namespace kordavine::driver
