// The print-settings store of a print job as the panel sees it: string values under string keys,
// read and written through the two store calls with their status codes. A key that was never
// set is absent, which is not the same as holding the empty string.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kordavine::platform {

using OSStatus = std::int32_t;

inline constexpr OSStatus noErr = 0;
inline constexpr OSStatus kPMKeyNotFound = -9589;     // no value under the key
inline constexpr OSStatus kPMInvalidParameter = -50;  // no store, or a locked write was asked for
inline constexpr OSStatus kPMKeyNotWritable = -9590;  // the store refuses writes to this key

class PrintSettingsStore {
  public:
    OSStatus getValue(std::string_view key, std::string& value) const;
    OSStatus setValue(std::string_view key, std::string_view value, bool locked);

    // Every value held, by key.
    const std::map<std::string, std::string, std::less<>>& values() const { return values_; }
    // Makes every later write to key fail with status (a store that cannot take the value).
    void refuseWritesTo(std::string_view key, OSStatus status);

  private:
    std::map<std::string, std::string, std::less<>> values_;
    std::map<std::string, OSStatus, std::less<>> refusedKeys_;
};

using PMPrintSettings = std::shared_ptr<PrintSettingsStore>;

// 0 and the value when the key is present; kPMKeyNotFound (value untouched) when it is absent;
// kPMInvalidParameter when there is no store.
OSStatus PMPrintSettingsGetValue(const PMPrintSettings& settings, std::string_view key,
                                 std::string& value);

// Stores value under key. Values are kept unlocked: a request to lock is refused with
// kPMInvalidParameter and stores nothing.
OSStatus PMPrintSettingsSetValue(const PMPrintSettings& settings, std::string_view key,
                                 std::string_view value, bool locked);

}  // namespace kordavine::platform
