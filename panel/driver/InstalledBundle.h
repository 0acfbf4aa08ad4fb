#pragma once

#include <filesystem>
#include <string>

namespace kordavine::driver {

// The bundle joblog-dialog loads when it is given no --bundle: the one installed beside the
// program (found from the program's own location, so any install prefix works), or else the
// one assembled in the build tree.
std::string defaultBundle();

// The same choice for a program at the given path.
std::string defaultBundleFor(const std::filesystem::path& program);

}  // namespace kordavine::driver
