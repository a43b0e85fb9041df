#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// A moment in time, as seconds since 1970-01-01 00:00:00 UTC.
struct Date {
    double secondsSince1970 = 0;

    /// Seconds between 1970-01-01 and 2001-01-01, the reference date of stored documents.
    static constexpr double referenceDateOffset = 978307200.0;

    static Date fromReferenceSeconds(double secondsSince2001) { return Date{secondsSince2001 + referenceDateOffset}; }
    double referenceSeconds() const { return secondsSince1970 - referenceDateOffset; }
    Date addingSeconds(double seconds) const { return Date{secondsSince1970 + seconds}; }
    double secondsSince(Date other) const { return secondsSince1970 - other.secondsSince1970; }

    auto operator<=>(const Date&) const = default;
};

/// ISO 8601 internet date-time in UTC with whole seconds, e.g. 2026-12-04T00:08:38Z.
std::string iso8601(Date date);
/// Reads the ISO 8601 forms we write (with or without fractional seconds, "Z" or a numeric offset).
std::optional<Date> parseIso8601(std::string_view text);

/// Calendar arithmetic in the local time zone. Adding months or years clamps the day to the
/// target month's length (31 January + 1 month is the last day of February), never wrapping.
Date addingCalendarDays(Date date, int days);
Date addingCalendarMonths(Date date, int months);
Date addingCalendarYears(Date date, int years);

/// Local wall-clock fields of a date in the current time zone.
struct LocalDateTime {
    int year = 1970;
    int month = 1; // 1...12
    int day = 1;
    int hour = 0; // 0...23
    int minute = 0;
    int second = 0;
};
LocalDateTime localDateTime(Date date);

} // namespace brisklet
