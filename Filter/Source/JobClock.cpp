#include "JobClock.h"

#include <cstdio>
#include <cstdlib>

namespace jobtypefilter {

namespace {

ClockSource clockSource = nullptr;

std::tm localNow() {
    const std::time_t now = clockSource != nullptr ? clockSource() : std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace

void formatCompactTime(char (&out)[kTimeStampSize]) {
    const std::tm t = localNow();
    std::snprintf(out, kTimeStampSize, "%.4d%.2d%.2d%.2d%.2d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min);
}

void formatDisplayTime(char (&out)[kTimeStampSize]) {
    const std::tm t = localNow();
    std::snprintf(out, kTimeStampSize, "%.4d/%.2d/%.2d %.2d:%.2d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min);
}

void setClockSource(ClockSource source) {
    clockSource = source;
}

void applyTimeZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
}

}  // namespace jobtypefilter
