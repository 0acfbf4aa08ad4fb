// The filter's clock and its two time stamps, both of the current time in local time (the zone
// TZ names), minutes resolution.
#pragma once

#include <ctime>
#include <string>

namespace jobtypefilter {

// Fixed-size area for a time stamp; large enough for any year an int can hold.
inline constexpr std::size_t kTimeStampSize = 64;

// "%.4d%.2d%.2d%.2d%.2d": year, month, day, hour, minute, zero-padded.
void formatCompactTime(char (&out)[kTimeStampSize]);
// "%.4d/%.2d/%.2d %.2d:%.2d".
void formatDisplayTime(char (&out)[kTimeStampSize]);

// Replaces the clock (tests); null restores the system clock.
using ClockSource = std::time_t (*)();
void setClockSource(ClockSource source);

// Sets TZ for this process, replacing any inherited value, and makes the C library take it up.
void applyTimeZone(const char* zone);

}  // namespace jobtypefilter
