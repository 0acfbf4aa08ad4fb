// Which TimeZone values the filter may hand the C library as TZ. glibc opens any TZ value that is
// not a POSIX rule as a file (a path, or a name under the zone directory): a FIFO blocks the
// filter, /dev/stdin swallows the job, a device the lp group reads is opened. So TZ is set only
// from a POSIX rule or from the name of a regular zone file.
#pragma once

#include <string>
#include <string_view>

namespace jobtypefilter {

// A POSIX TZ rule, as the panel writes it and glibc parses it: a zone name of three or more
// letters (or "<...>" with letters, digits, "+" and "-"), the offset west of UTC as
// [+-]hh[:mm[:ss]] with hours 0 to 24, and optionally a daylight-saving name, its offset and the
// two change dates ("Jn", "n" or "Mm.w.d", each with an optional "/time"): "JST-9", "IST-5:30",
// "<+04>-4", "CET-1CEST,M3.5.0,M10.5.0/3". The only "/" a rule holds stands after its first ","
// and is followed by a time, so the file glibc tries first for such a value lies in a directory
// named after a rule, which no zone directory holds.
bool isPosixZoneRule(std::string_view value);

// A zone name ("Europe/Berlin", "UTC") naming a regular file under zoneDirectory: components of
// letters, digits, ".", "_", "+" and "-", neither "." nor "..", joined by single "/", no leading
// "/", at most 255 bytes.
bool namesZoneFile(std::string_view value, const std::string& zoneDirectory);

// The directory glibc takes zone names from: TZDIR when it is an absolute path, else
// /usr/share/zoneinfo.
std::string zoneDirectory();

// isPosixZoneRule or namesZoneFile under zoneDirectory().
bool isSafeTimeZone(std::string_view value);

}  // namespace jobtypefilter
