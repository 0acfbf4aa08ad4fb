#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>

#include "ScopedTimeZone.h"
#include "TimeZoneValue.h"

namespace kordavine::joblog {
namespace {

struct FormatCase {
    const char* name;
    const char* abbreviation;
    long offsetEast;
    const char* value;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

class FormatTimeZoneValueTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatTimeZoneValueTest, GivesAPosixZone) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatTimeZoneValue(c.abbreviation, c.offsetEast), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatTimeZoneValueTest,
    testing::Values(
        // Whole hours with a letter abbreviation: the plain name and hours west.
        FormatCase{"Japan", "JST", 32400, "JST-9"},
        FormatCase{"NewYorkWinter", "EST", -18000, "EST5"},
        FormatCase{"Greenwich", "GMT", 0, "GMT0"}, FormatCase{"BerlinWinter", "CET", 3600, "CET-1"},
        FormatCase{"BerlinSummer", "CEST", 7200, "CEST-2"},
        FormatCase{"Coordinated", "UTC", 0, "UTC0"},
        // Minutes are kept.
        FormatCase{"India", "IST", 19800, "IST-5:30"},
        FormatCase{"Newfoundland", "NST", -12600, "NST3:30"},
        FormatCase{"Adelaide", "ACDT", 37800, "ACDT-10:30"},
        // Numeric abbreviations go in angle brackets.
        FormatCase{"Dubai", "+04", 14400, "<+04>-4"},
        FormatCase{"SaoPaulo", "-03", -10800, "<-03>3"},
        FormatCase{"Kathmandu", "+0545", 20700, "<+0545>-5:45"},
        FormatCase{"Tehran", "+0330", 12600, "<+0330>-3:30"},
        // Less than an hour from UTC keeps its sign.
        FormatCase{"HalfHourEast", "+0030", 1800, "<+0030>-0:30"},
        FormatCase{"HalfHourWest", "-0030", -1800, "<-0030>0:30"},
        // Seconds (historic mean times) are kept too.
        FormatCase{"Monrovia1970", "MMT", -2670, "MMT0:44:30"},
        // Names POSIX cannot carry are replaced by the numeric offset.
        FormatCase{"TooShort", "Z", 0, "<+00>0"}, FormatCase{"Empty", "", 19800, "<+0530>-5:30"},
        FormatCase{"BadCharacters", "A B", -7200, "<-02>2"},
        FormatCase{"LettersAndDigits", "GMT2", -7200, "<GMT2>2"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

using testsupport::ScopedTimeZone;

struct WallClock {
    std::tm fields{};
    std::string abbreviation;
};

WallClock wallClockIn(const std::string& zone, std::time_t instant) {
    ScopedTimeZone scoped(zone);
    WallClock clock;
    localtime_r(&instant, &clock.fields);
    clock.abbreviation = clock.fields.tm_zone ? clock.fields.tm_zone : "";
    return clock;
}

struct ZoneCase {
    const char* name;
    const char* zone;
    std::time_t instant;
    const char* expectedValue;
};

void PrintTo(const ZoneCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

// 2025-01-15 12:00:00 UTC and 2025-07-15 12:00:00 UTC.
constexpr std::time_t kWinter = 1736942400;
constexpr std::time_t kSummer = 1752580800;

class RealZoneTest : public testing::TestWithParam<ZoneCase> {};

TEST_P(RealZoneTest, ValueAsTZShowsTheZonesOwnWallClock) {
    const ZoneCase& c = GetParam();
    std::optional<std::string> value;
    {
        ScopedTimeZone scoped(c.zone);
        value = timeZoneValueAt(c.instant);
    }
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, c.expectedValue);

    const WallClock own = wallClockIn(c.zone, c.instant);
    const WallClock viaValue = wallClockIn(*value, c.instant);
    EXPECT_EQ(viaValue.fields.tm_year, own.fields.tm_year);
    EXPECT_EQ(viaValue.fields.tm_mon, own.fields.tm_mon);
    EXPECT_EQ(viaValue.fields.tm_mday, own.fields.tm_mday);
    EXPECT_EQ(viaValue.fields.tm_hour, own.fields.tm_hour);
    EXPECT_EQ(viaValue.fields.tm_min, own.fields.tm_min);
    EXPECT_EQ(viaValue.fields.tm_gmtoff, own.fields.tm_gmtoff);
    // A TZ the C library cannot parse falls back to UTC under the name "UTC" or its own text;
    // a parsed one carries the zone's abbreviation.
    EXPECT_EQ(viaValue.abbreviation, own.abbreviation);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, RealZoneTest,
    testing::Values(ZoneCase{"Tokyo", "Asia/Tokyo", kWinter, "JST-9"},
                    ZoneCase{"NewYorkWinter", "America/New_York", kWinter, "EST5"},
                    ZoneCase{"NewYorkSummer", "America/New_York", kSummer, "EDT4"},
                    ZoneCase{"BerlinWinter", "Europe/Berlin", kWinter, "CET-1"},
                    ZoneCase{"BerlinSummer", "Europe/Berlin", kSummer, "CEST-2"},
                    ZoneCase{"Kolkata", "Asia/Kolkata", kWinter, "IST-5:30"},
                    ZoneCase{"StJohnsWinter", "America/St_Johns", kWinter, "NST3:30"},
                    ZoneCase{"StJohnsSummer", "America/St_Johns", kSummer, "NDT2:30"},
                    ZoneCase{"Kathmandu", "Asia/Kathmandu", kWinter, "<+0545>-5:45"},
                    ZoneCase{"Tehran", "Asia/Tehran", kSummer, "<+0330>-3:30"},
                    ZoneCase{"AdelaideSummer", "Australia/Adelaide", kWinter, "ACDT-10:30"},
                    ZoneCase{"AdelaideWinter", "Australia/Adelaide", kSummer, "ACST-9:30"},
                    ZoneCase{"Dubai", "Asia/Dubai", kWinter, "<+04>-4"},
                    ZoneCase{"SaoPaulo", "America/Sao_Paulo", kWinter, "<-03>3"},
                    ZoneCase{"Utc", "UTC", kWinter, "UTC0"}),
    [](const testing::TestParamInfo<ZoneCase>& info) { return std::string(info.param.name); });

// The old "%s%ld" form for a numeric abbreviation is what this value replaces: the C library
// reads "+04-4" as no zone at all and shows UTC, four hours off Dubai's wall clock.
TEST(RealZone, UnbracketedNumericNameIsNotAValidZone) {
    const WallClock dubai = wallClockIn("Asia/Dubai", kWinter);
    const WallClock unbracketed = wallClockIn("+04-4", kWinter);
    EXPECT_NE(unbracketed.fields.tm_hour, dubai.fields.tm_hour);
}

}  // namespace
}  // namespace kordavine::joblog
