#include "CopyControlValues.h"

#include "PrintSettingsKeys.h"

namespace jobtypefilter {

namespace keys = varlo::printsettings;

namespace {

constexpr std::array<ValueCode, 3> kColors{{{"Black", 0}, {"Cyan", 1}, {"Magenta", 2}}};

constexpr std::array<ValueCode, 5> kDensities{{
    {"Very Light", 1},
    {"Light", 2},
    {"Middle", 3},
    {"Dark", 4},
    {"Very Dark", 5},
}};

constexpr std::array<ValueCode, 11> kMaskPatterns{{
    {"None", 0},
    {"Wave Crest", 1},
    {"Mesh", 2},
    {"Lattice1", 3},
    {"Lattice2", 4},
    {"Interlocking Circles", 5},
    {"Shokkoh", 6},
    {"Matsukawabishi", 7},
    {"Scale", 8},
    {"Higaki", 9},
    {"Hexagonal", 10},
}};

constexpr std::array<ValueCode, 4> kGuardEffects{{
    {"Off", 0},
    {"Background Only", 1},
    {"Reverse Patterns", 2},
    {"Text Only", 4},
}};

constexpr std::array<ValueCode, 4> kPatternEffects{{
    {"Off", 0},
    {"Background Only", 3},
    {"Reverse Patterns", 2},
    {"Text Only", 4},
}};

constexpr std::array<ValueCode, 7> kPositions{{
    {"Top Left", 0},
    {"Center Top", 1},
    {"Top Right", 2},
    {"Center", 3},
    {"Bottom Left", 4},
    {"Center Bottom", 5},
    {"Bottom Right", 6},
}};

constexpr std::array<ValueCode, 3> kRepeatModes{{
    {"Off", 0},
    {"Repeat", 1},
    {"Repeat and Rotate carriage return", 2},
}};

constexpr std::array<ValueCode, 8> kTextTypes{{
    {"User Defined", 0},
    {"Login User Name", 1},
    {"PrintJob Name", 2},
    {"PrintJob Time", 3},
    {"Login User Name + PrintJob Name", 4},
    {"Login User Name + PrintJob Time", 5},
    {"PrintJob Name + PrintJob Time", 6},
    {"Login User Name + PrintJob Name + PrintJob Time", 7},
}};

}  // namespace

int markingColorCode(const JobOptions& options) {
    return codeForOption(options, keys::kCCPColor, kColors, 0);
}

int markingDensityCode(const JobOptions& options) {
    return codeForOption(options, keys::kCCPDensity, kDensities, 3);
}

int maskPatternCode(const JobOptions& options) {
    return codeForOption(options, keys::kCCPMaskType, kMaskPatterns, 0);
}

int stringEffectCode(const JobOptions& options, int markingType) {
    return markingType == 2 ? codeForOption(options, keys::kCCPEffect, kPatternEffects, 0)
                            : codeForOption(options, keys::kCCPEffect, kGuardEffects, 0);
}

int stringPositionCode(const JobOptions& options) {
    return codeForOption(options, keys::kCCPPosition, kPositions, 3);
}

int stringRepeatMode(const JobOptions& options) {
    return codeForOption(options, keys::kCCPRepeat, kRepeatModes, 0);
}

int markingTextType(const JobOptions& options) {
    return codeForOption(options, keys::kCCPTextType, kTextTypes, 0);
}

}  // namespace jobtypefilter
