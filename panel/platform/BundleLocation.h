// Where a host finds the Job Log bundle: the build tree's bundle for a program run from the build
// tree, the installed bundle otherwise. Every host (the scripted dialog, the print tool) asks
// here, so all of them load the same bundle the same way; a --bundle option still overrides.
#pragma once

#include <filesystem>

namespace kordavine::platform {

struct BundleCandidates {
    std::filesystem::path buildDirectory;   // the top of the build tree
    std::filesystem::path buildTreeBundle;  // the bundle assembled there
    std::filesystem::path installedBundle;  // the bundle as installed
};

// The build tree's bundle when program lies inside the build directory, the installed one
// otherwise (also when program is unknown).
std::filesystem::path chooseBundle(const std::filesystem::path& program,
                                   const BundleCandidates& candidates);

// chooseBundle for the running program (/proc/self/exe): the build tree this build was made in,
// or the bundle installed beside the program (found from the program's own directory, so any
// install prefix or DESTDIR tree works).
std::filesystem::path defaultBundlePath();

}  // namespace kordavine::platform
