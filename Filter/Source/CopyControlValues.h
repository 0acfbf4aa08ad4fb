// The numbers the device's marking procedure expects for the copy-control settings. Every
// value is matched exactly and case-sensitively; an absent or unknown value takes the default.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "JobOptions.h"

namespace jobtypefilter {

// One row of a value table: the option value and the number it stands for.
struct ValueCode {
    std::string_view value;
    int code;
};

// The number for the value the options hold under key, or defaultCode.
template <std::size_t N>
int codeForOption(const JobOptions& options, const char* key,
                  const std::array<ValueCode, N>& rows, int defaultCode) {
    const char* value = options.get(key);
    if (value == nullptr) return defaultCode;
    for (const ValueCode& row : rows) {
        if (row.value == value) return row.code;
    }
    return defaultCode;
}

// Black 0 (default), Cyan 1, Magenta 2.
int markingColorCode(const JobOptions& options);
// Very Light 1 to Very Dark 5; Middle (3) is the default.
int markingDensityCode(const JobOptions& options);
// None 0 (default) to Hexagonal 10.
int maskPatternCode(const JobOptions& options);
// The effect number depends on the marking type: "Background Only" is 1 for the copy guard
// and 3 for the prevention copy pattern. A marking type other than 2 reads the guard column.
int stringEffectCode(const JobOptions& options, int markingType);
// Top Left 0 to Bottom Right 6; Center (3) is the default.
int stringPositionCode(const JobOptions& options);
// 0 no loop attributes (default), 1 repeat, 2 repeat and rotate.
int stringRepeatMode(const JobOptions& options);
// 0 user-defined text (default), 1 to 7 the combinations of user name, job name and time.
int markingTextType(const JobOptions& options);

}  // namespace jobtypefilter
