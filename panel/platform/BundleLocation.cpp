#include "BundleLocation.h"

#include <system_error>

namespace kordavine::platform {

namespace {

// Whether path lies inside directory, compared component by component after making both
// absolute and resolving "." and "..", so /build-x is not taken for inside /build.
bool liesInside(const std::filesystem::path& path, const std::filesystem::path& directory) {
    std::error_code error;
    const auto inner = std::filesystem::weakly_canonical(path, error);
    if (error) return false;
    const auto outer = std::filesystem::weakly_canonical(directory, error);
    if (error || outer.empty()) return false;
    auto at = inner.begin();
    for (const auto& part : outer) {
        if (part.empty()) continue;  // a trailing separator
        if (at == inner.end() || *at != part) return false;
        ++at;
    }
    return at != inner.end();
}

}  // namespace

std::filesystem::path chooseBundle(const std::filesystem::path& program,
                                   const BundleCandidates& candidates) {
    if (!program.empty() && !candidates.buildDirectory.empty() &&
        liesInside(program, candidates.buildDirectory)) {
        return candidates.buildTreeBundle;
    }
    return candidates.installedBundle;
}

std::filesystem::path defaultBundlePath() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return JOBLOG_BUILD_TREE_BUNDLE;
    const auto installed = (program.parent_path() / JOBLOG_BUNDLE_FROM_BINDIR).lexically_normal();
    return chooseBundle(program, {JOBLOG_BUILD_DIRECTORY, JOBLOG_BUILD_TREE_BUNDLE, installed});
}

}  // namespace kordavine::platform
