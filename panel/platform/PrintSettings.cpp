#include "PrintSettings.h"

namespace kordavine::platform {

OSStatus PrintSettingsStore::getValue(std::string_view key, std::string& value) const {
    const auto found = values_.find(key);
    if (found == values_.end()) return kPMKeyNotFound;
    value = found->second;
    return noErr;
}

OSStatus PrintSettingsStore::setValue(std::string_view key, std::string_view value, bool locked) {
    if (locked) return kPMInvalidParameter;
    if (const auto refused = refusedKeys_.find(key); refused != refusedKeys_.end())
        return refused->second;
    values_.insert_or_assign(std::string(key), std::string(value));
    return noErr;
}

void PrintSettingsStore::refuseWritesTo(std::string_view key, OSStatus status) {
    refusedKeys_.insert_or_assign(std::string(key), status);
}

OSStatus PMPrintSettingsGetValue(const PMPrintSettings& settings, std::string_view key,
                                 std::string& value) {
    if (!settings) return kPMInvalidParameter;
    return settings->getValue(key, value);
}

OSStatus PMPrintSettingsSetValue(const PMPrintSettings& settings, std::string_view key,
                                 std::string_view value, bool locked) {
    if (!settings) return kPMInvalidParameter;
    return settings->setValue(key, value, locked);
}

}  // namespace kordavine::platform
