#include "Bundle.h"

#include <plist/plist.h>

#include <fstream>
#include <sstream>

#include "DialogServices.h"
#include "StringsFile.h"

namespace kordavine::platform {

namespace {

std::optional<std::string> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(bytes).str();
}

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistOwner = std::unique_ptr<void, PlistDeleter>;

struct PlistStringDeleter {
    void operator()(char* text) const { free(text); }  // plist_get_*_val hands out malloc'ed text
};

// The string entries of the descriptor's top-level dictionary; none when it is not a plist
// dictionary.
std::optional<std::map<std::string, std::string, std::less<>>> readInfoPlist(
    const std::filesystem::path& path) {
    const auto bytes = readFile(path);
    if (!bytes || bytes->empty()) return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(bytes->data(), static_cast<uint32_t>(bytes->size()), &root);
    PlistOwner owner(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT) return std::nullopt;

    std::map<std::string, std::string, std::less<>> info;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(root, &iterator);
    std::unique_ptr<void, void (*)(void*)> iteratorOwner(iterator, free);
    while (true) {
        char* rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(root, iterator, &rawKey, &item);
        std::unique_ptr<char, PlistStringDeleter> key(rawKey);
        if (!item) break;
        if (plist_get_node_type(item) != PLIST_STRING) continue;
        char* rawValue = nullptr;
        plist_get_string_val(item, &rawValue);
        std::unique_ptr<char, PlistStringDeleter> value(rawValue);
        if (key && value) info.emplace(key.get(), value.get());
    }
    return info;
}

// The strings table of one language; empty when the bundle has none for it.
StringsTable readStringsTable(const std::filesystem::path& resources, std::string_view language) {
    const auto path = resources / (std::string(language) + ".lproj") / "Localizable.strings";
    const auto bytes = readFile(path);
    if (!bytes) return {};
    auto parsed = parseStringsFile(*bytes);
    if (parsed.error) NSLog("Cannot read strings table " + path.string() + ": " + *parsed.error);
    return std::move(parsed.table);
}

}  // namespace

std::shared_ptr<Bundle> Bundle::empty() {
    return std::make_shared<Bundle>(std::filesystem::path(),
                                    std::map<std::string, std::string, std::less<>>{},
                                    StringsTable{}, StringsTable{});
}

std::shared_ptr<Bundle> Bundle::open(const std::filesystem::path& path, std::string_view language) {
    auto info = readInfoPlist(path / "Contents" / "Info.plist");
    if (!info) return nullptr;
    const auto resources = path / "Contents" / "Resources";
    StringsTable english = readStringsTable(resources, "en");
    StringsTable localized =
        language == "en" ? StringsTable{} : readStringsTable(resources, language);
    return std::make_shared<Bundle>(path, std::move(*info), std::move(localized),
                                    std::move(english));
}

Bundle::Bundle(std::filesystem::path path, std::map<std::string, std::string, std::less<>> info,
               StringsTable localized, StringsTable english)
    : path_(std::move(path)),
      info_(std::move(info)),
      localized_(std::move(localized)),
      english_(std::move(english)) {}

std::optional<std::string> Bundle::infoValue(std::string_view key) const {
    const auto found = info_.find(key);
    if (found == info_.end()) return std::nullopt;
    return found->second;
}

std::filesystem::path Bundle::resourcePath() const {
    return path_ / "Contents" / "Resources";
}

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

std::optional<std::string> Bundle::readResource(std::string_view fileName) const {
    if (path_.empty()) return std::nullopt;
    return readFile(resourcePath() / std::string(fileName));
}

}  // namespace kordavine::platform
