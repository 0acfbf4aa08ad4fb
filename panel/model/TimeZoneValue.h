// The TimeZone value the panel stores at each save: the local zone at that moment as a POSIX TZ
// string (a name and the offset west of UTC, no daylight-saving rule), which the filter sets as
// its TZ so that its time stamps show the wall-clock time of the saving machine.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace kordavine::joblog {

// The zone name followed by the offset west of UTC: whole hours, then ":MM" (and ":SS") only
// when the offset has them; "-" when east of UTC. A name of three or more ASCII letters stands
// as it is ("JST-9", "IST-5:30"); any other name that POSIX admits in angle brackets (three or
// more letters, digits, "+" or "-") is bracketed ("<+04>-4"). A name that even brackets cannot
// carry is replaced by the offset east of UTC in tzdata's numeric style ("<+0530>-5:30").
std::string formatTimeZoneValue(std::string_view abbreviation, long offsetEastSeconds);

// The value for the local zone (as TZ and the zone data name it) at the given instant; none when
// the C library cannot convert the instant.
std::optional<std::string> timeZoneValueAt(std::time_t instant);

// Where the save takes the current time from: the system clock, or a fixed one in tests.
using SaveClock = std::time_t (*)();
void setSaveClock(SaveClock clock);  // null restores the system clock
std::time_t saveClockNow();

}  // namespace kordavine::joblog
