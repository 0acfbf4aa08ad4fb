#include "CommandLine.h"

#include <cstring>

namespace jobtypefilter {

CommandLineAction classifyCommandLine(int argc, const char* const argv[]) {
    if (argc == 6 || argc == 7) return CommandLineAction::RunJob;
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) return CommandLineAction::Version;
    return CommandLineAction::Usage;
}

const char* versionLine() {
    return "jobtypefilter (Kordavine Job Log) " JOBTYPEFILTER_VERSION;
}

}  // namespace jobtypefilter
