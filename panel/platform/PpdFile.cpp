#include "PpdFile.h"

// The PPD calls are deprecated in libcups but remain the way to read a driver's PPD attributes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace kordavine::platform {

void PpdFile::Close::operator()(ppd_file_s* ppd) const {
    ppdClose(ppd);
}

std::optional<PpdFile> PpdFile::open(const std::filesystem::path& path) {
    ppd_file_t* ppd = ppdOpenFile(path.c_str());
    if (!ppd) return std::nullopt;
    return PpdFile(ppd);
}

std::optional<std::string> ppdAttributeValue(const ppd_file_s* ppd, std::string_view name) {
    if (!ppd) return std::nullopt;
    const std::string attributeName(name);
    // ppdFindAttr does not change the PPD apart from its search position.
    ppd_attr_t* attribute =
        ppdFindAttr(const_cast<ppd_file_t*>(ppd), attributeName.c_str(), nullptr);
    if (!attribute || !attribute->value) return std::nullopt;
    return std::string(attribute->value);
}

}  // namespace kordavine::platform

#pragma GCC diagnostic pop
