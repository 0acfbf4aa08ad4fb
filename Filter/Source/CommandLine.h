// The filter's command line: the CUPS filter arguments, or a hand-typed --help / --version.
#pragma once

namespace jobtypefilter {

enum class CommandLineAction {
    RunJob,   // job-id user title copies options [file]
    Usage,    // --help, or a wrong number of arguments
    Version,  // --version
};

// What the arguments ask for. CUPS always passes five or six arguments; anything else is a
// filter run by hand.
CommandLineAction classifyCommandLine(int argc, const char* const argv[]);

inline constexpr char kUsageLine[] = "Usage: jobtypefilter job-id user title copies options [file]";
// "jobtypefilter (Kordavine Job Log) <version>"
const char* versionLine();

}  // namespace jobtypefilter
