// The one place that uses the CUPS PPD calls: an owner of a parsed PPD file and the attribute
// read the panel makes on it.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct ppd_file_s;

namespace kordavine::platform {

class PpdFile {
  public:
    // Parses the file; none when it cannot be read or is not a PPD.
    static std::optional<PpdFile> open(const std::filesystem::path& path);

    ppd_file_s* get() const { return ppd_.get(); }

  private:
    struct Close {
        void operator()(ppd_file_s* ppd) const;
    };
    explicit PpdFile(ppd_file_s* ppd) : ppd_(ppd) {}

    std::unique_ptr<ppd_file_s, Close> ppd_;
};

// The value of the first attribute of that name, whatever its specifier; none when the PPD has
// no such attribute, or there is no PPD.
std::optional<std::string> ppdAttributeValue(const ppd_file_s* ppd, std::string_view name);

}  // namespace kordavine::platform
