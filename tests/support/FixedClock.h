// The instant the filter's tests take for "now", so that the time stamps in the splice text are
// the same in every run.
#pragma once

#include <ctime>

namespace jobtypefilter::testing {

// 2026-03-02 09:05:30 UTC.
inline constexpr std::time_t kFixedInstant = 1772442330;
inline std::time_t fixedClock() {
    return kFixedInstant;
}
// Its compact time stamp in UTC.
inline constexpr char kFixedCompact[] = "202603020905";

}  // namespace jobtypefilter::testing
