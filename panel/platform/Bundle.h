// A plug-in bundle on disk:
//   <name>.plugin/Contents/Info.plist                  bundle descriptor (module, principal class)
//   <name>.plugin/Contents/MacOS/<module>              the loadable module
//   <name>.plugin/Contents/Resources/<lang>.lproj/Localizable.strings
//   <name>.plugin/Contents/Resources/<view>.view.json  view descriptions
// Strings come from the table of the host's language, the English table standing in for keys
// it lacks, and the key itself for keys neither has.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "NibOwner.h"

namespace kordavine::platform {

using StringsTable = std::map<std::string, std::string, std::less<>>;

class Bundle {
  public:
    // A bundle with no files: no strings, no views.
    static std::shared_ptr<Bundle> empty();
    // Reads the descriptor and the strings tables of the bundle at path for language (such as
    // "en" or "de"); none when the descriptor cannot be read.
    static std::shared_ptr<Bundle> open(const std::filesystem::path& path,
                                        std::string_view language);

    Bundle(std::filesystem::path path, std::map<std::string, std::string, std::less<>> info,
           StringsTable localized, StringsTable english);

    const std::filesystem::path& bundlePath() const { return path_; }
    std::optional<std::string> infoValue(std::string_view key) const;
    std::filesystem::path resourcePath() const;
    std::filesystem::path executablePath() const;

    // The translation of key, or key itself.
    std::string localizedStringForKey(std::string_view key) const;

    // The bytes of a file in the bundle's resources; none when it cannot be read.
    std::optional<std::string> readResource(std::string_view fileName) const;

    // Creates the controls of the view description name (the resource <name>.view.json) with
    // the host's toolkit, connects the owner's outlets and actions, and answers whether that
    // succeeded. Nothing is connected when the description is missing or broken.
    bool loadNibNamed(std::string_view name, const std::shared_ptr<NibOwner>& owner) const;

  private:
    std::filesystem::path path_;
    std::map<std::string, std::string, std::less<>> info_;
    StringsTable localized_;
    StringsTable english_;
};

}  // namespace kordavine::platform
