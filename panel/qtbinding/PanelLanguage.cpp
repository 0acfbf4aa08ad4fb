#include "PanelLanguage.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kordavine::qt {

namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::string panelLanguage(const LocaleVariables& locale,
                          const std::vector<std::string>& available) {
    // The first variable that is set and not empty decides, as for setlocale(LC_MESSAGES, "").
    std::string chosen = !locale.lcAll.empty()        ? locale.lcAll
                         : !locale.lcMessages.empty() ? locale.lcMessages
                                                      : locale.lang;
    const auto end = chosen.find_first_of("_.@");
    std::string language = chosen.substr(0, end);
    std::transform(language.begin(), language.end(), language.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (language.empty() || language == "c" || language == "posix") return "en";
    if (std::find(available.begin(), available.end(), language) == available.end()) return "en";
    return language;
}

LocaleVariables localeFromEnvironment() {
    return {environmentValue("LC_ALL"), environmentValue("LC_MESSAGES"), environmentValue("LANG")};
}

std::vector<std::string> bundleLanguages(const std::string& bundlePath) {
    std::vector<std::string> languages;
    std::error_code error;
    const auto resources = std::filesystem::path(bundlePath) / "Contents" / "Resources";
    for (const auto& entry : std::filesystem::directory_iterator(resources, error)) {
        if (entry.is_directory(error) && entry.path().extension() == ".lproj") {
            languages.push_back(entry.path().stem().string());
        }
    }
    std::sort(languages.begin(), languages.end());
    return languages;
}

}  // namespace kordavine::qt
