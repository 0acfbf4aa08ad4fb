#include "CopyControlValues.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "PrintSettingsKeys.h"

namespace jobtypefilter {

namespace keys = varlo::printsettings;

namespace {

// One row of a value table: the option value and what it stands for.
template <typename Code>
struct ValueCode {
    std::string_view value;
    Code code;
};

// What the value the options hold under key stands for, or defaultCode.
template <typename Code, std::size_t N>
Code codeForOption(const JobOptions& options, const char* key,
                   const std::array<ValueCode<Code>, N>& rows, Code defaultCode) {
    const char* value = options.get(key);
    if (value == nullptr) return defaultCode;
    for (const ValueCode<Code>& row : rows) {
        if (row.value == value) return row.code;
    }
    return defaultCode;
}

constexpr std::array<ValueCode<CopyControlType>, 2> kCopyControlTypes{{
    {"Copy Guard", CopyControlType::CopyGuard},
    {"Prevention Copy Pattern", CopyControlType::PreventionCopyPattern},
}};

constexpr std::array<ValueCode<int>, 3> kColors{{{"Black", 0}, {"Cyan", 1}, {"Magenta", 2}}};

constexpr std::array<ValueCode<int>, 5> kDensities{{
    {"Very Light", 1},
    {"Light", 2},
    {"Middle", 3},
    {"Dark", 4},
    {"Very Dark", 5},
}};

constexpr std::array<ValueCode<int>, 11> kMaskPatterns{{
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

constexpr std::array<ValueCode<int>, 4> kGuardEffects{{
    {"Off", 0},
    {"Background Only", 1},
    {"Reverse Patterns", 2},
    {"Text Only", 4},
}};

constexpr std::array<ValueCode<int>, 4> kPatternEffects{{
    {"Off", 0},
    {"Background Only", 3},
    {"Reverse Patterns", 2},
    {"Text Only", 4},
}};

constexpr std::array<ValueCode<int>, 7> kPositions{{
    {"Top Left", 0},
    {"Center Top", 1},
    {"Top Right", 2},
    {"Center", 3},
    {"Bottom Left", 4},
    {"Center Bottom", 5},
    {"Bottom Right", 6},
}};

constexpr std::array<ValueCode<RepeatMode>, 3> kRepeatModes{{
    {"Off", RepeatMode::Off},
    {"Repeat", RepeatMode::Repeat},
    {"Repeat and Rotate carriage return", RepeatMode::RepeatAndRotate},
}};

constexpr std::array<ValueCode<MarkingTextType>, 8> kTextTypes{{
    {"User Defined", MarkingTextType::UserDefined},
    {"Login User Name", MarkingTextType::UserName},
    {"PrintJob Name", MarkingTextType::JobName},
    {"PrintJob Time", MarkingTextType::PrintTime},
    {"Login User Name + PrintJob Name", MarkingTextType::UserNameJobName},
    {"Login User Name + PrintJob Time", MarkingTextType::UserNamePrintTime},
    {"PrintJob Name + PrintJob Time", MarkingTextType::JobNamePrintTime},
    {"Login User Name + PrintJob Name + PrintJob Time", MarkingTextType::UserNameJobNamePrintTime},
}};

}  // namespace

CopyControlSettings readCopyControlSettings(const JobOptions& options) {
    CopyControlSettings s;
    s.type = codeForOption(options, keys::kCCPCopyControlType, kCopyControlTypes, s.type);
    s.color = codeForOption(options, keys::kCCPColor, kColors, s.color);
    s.density = codeForOption(options, keys::kCCPDensity, kDensities, s.density);
    s.mask = codeForOption(options, keys::kCCPMaskType, kMaskPatterns, s.mask);
    s.effect = codeForOption(
        options, keys::kCCPEffect,
        s.type == CopyControlType::PreventionCopyPattern ? kPatternEffects : kGuardEffects,
        s.effect);
    s.position = codeForOption(options, keys::kCCPPosition, kPositions, s.position);
    s.repeat = codeForOption(options, keys::kCCPRepeat, kRepeatModes, s.repeat);
    s.textType = codeForOption(options, keys::kCCPTextType, kTextTypes, s.textType);
    return s;
}

}  // namespace jobtypefilter
