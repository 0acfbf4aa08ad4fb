#include "Bundle.h"

namespace kordavine::platform {

std::shared_ptr<Bundle> Bundle::empty() {
    return std::make_shared<Bundle>(std::filesystem::path(), std::map<std::string, std::string, std::less<>>{},
                                    StringsTable{}, StringsTable{});
}

Bundle::Bundle(std::filesystem::path path, std::map<std::string, std::string, std::less<>> info,
               StringsTable localized, StringsTable english)
    : path_(std::move(path)), info_(std::move(info)), localized_(std::move(localized)), english_(std::move(english)) {}

std::optional<std::string> Bundle::infoValue(std::string_view key) const {
    const auto found = info_.find(key);
    if (found == info_.end()) return std::nullopt;
    return found->second;
}

std::filesystem::path Bundle::resourcePath() const { return path_ / "Contents" / "Resources"; }

std::filesystem::path Bundle::executablePath() const {
    const auto name = infoValue("CFBundleExecutable");
    if (!name || path_.empty()) return {};
    return path_ / "Contents" / "MacOS" / *name;
}

std::string Bundle::localizedStringForKey(std::string_view key) const {
    if (const auto found = localized_.find(key); found != localized_.end()) return found->second;
    if (const auto found = english_.find(key); found != english_.end()) return found->second;
    return std::string(key);
}

std::shared_ptr<Bundle> Bundle::open(const std::filesystem::path&, std::string_view) { return nullptr; }

bool Bundle::loadNibNamed(std::string_view, NibOwner&) const { return false; }

}  // namespace kordavine::platform
