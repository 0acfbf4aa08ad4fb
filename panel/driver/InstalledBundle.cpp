#include "InstalledBundle.h"

#include <system_error>

namespace kordavine::driver {

std::string defaultBundleFor(const std::filesystem::path& program) {
    std::error_code error;
    const auto installed = (program.parent_path() / JOBLOG_BUNDLE_FROM_BINDIR).lexically_normal();
    if (!program.empty() && std::filesystem::is_directory(installed, error)) return installed.string();
    return JOBLOG_BUILD_BUNDLE;
}

std::string defaultBundle() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return defaultBundleFor(error ? std::filesystem::path() : program);
}

}  // namespace kordavine::driver
