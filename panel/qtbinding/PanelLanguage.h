// The language a desktop host shows the panel in: the locale's message language (LC_ALL, then
// LC_MESSAGES, then LANG, as POSIX orders them) when the bundle has a table for it, English
// otherwise.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kordavine::qt {

struct LocaleVariables {
    std::string lcAll;
    std::string lcMessages;
    std::string lang;
};

// "de_DE.UTF-8" gives "de" when "de" is available; "C", "POSIX", an empty locale or a language
// the bundle lacks give "en".
std::string panelLanguage(const LocaleVariables& locale, const std::vector<std::string>& available);

LocaleVariables localeFromEnvironment();

// The languages the bundle at path has strings tables for (its <lang>.lproj folders).
std::vector<std::string> bundleLanguages(const std::string& bundlePath);

}  // namespace kordavine::qt
