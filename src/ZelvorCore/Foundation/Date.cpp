#include "ZelvorCore/Foundation/Date.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace brisklet {

namespace {

std::tm localTm(Date date) {
    const std::time_t t = static_cast<std::time_t>(std::floor(date.secondsSince1970));
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

Date fromLocalTm(std::tm tm, double fraction) {
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return Date{static_cast<double>(t) + fraction};
}

double fractionOf(Date date) {
    return date.secondsSince1970 - std::floor(date.secondsSince1970);
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month0) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month0 == 1 && isLeapYear(year) ? 29 : days[month0];
}

int parseDigits(std::string_view text, std::size_t pos, std::size_t count, bool& ok) {
    int value = 0;
    if (pos + count > text.size()) {
        ok = false;
        return 0;
    }
    for (std::size_t i = pos; i < pos + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            ok = false;
            return 0;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

} // namespace

std::string iso8601(Date date) {
    const std::time_t t = static_cast<std::time_t>(std::floor(date.secondsSince1970));
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[96]; // wide enough for any int, so the compiler can prove no truncation
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buffer;
}

std::optional<Date> parseIso8601(std::string_view text) {
    // yyyy-MM-ddTHH:mm:ss[.fff](Z|±hh:mm)
    bool ok = true;
    const int year = parseDigits(text, 0, 4, ok);
    const int month = parseDigits(text, 5, 2, ok);
    const int day = parseDigits(text, 8, 2, ok);
    const int hour = parseDigits(text, 11, 2, ok);
    const int minute = parseDigits(text, 14, 2, ok);
    const int second = parseDigits(text, 17, 2, ok);
    if (!ok || text.size() < 20 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != 't') ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month - 1) || hour > 23 || minute > 59 ||
        second > 60) {
        return std::nullopt;
    }
    std::size_t pos = 19;
    double fraction = 0;
    if (pos < text.size() && text[pos] == '.') {
        double scale = 0.1;
        ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            fraction += (text[pos] - '0') * scale;
            scale /= 10;
            ++pos;
        }
        if (pos == start) {
            return std::nullopt;
        }
    }
    long long offsetSeconds = 0;
    if (pos < text.size() && (text[pos] == 'Z' || text[pos] == 'z')) {
        ++pos;
    } else if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        const int sign = text[pos] == '-' ? -1 : 1;
        const int oh = parseDigits(text, pos + 1, 2, ok);
        const bool colon = pos + 3 < text.size() && text[pos + 3] == ':';
        const int om = parseDigits(text, pos + (colon ? 4 : 3), 2, ok);
        if (!ok) {
            return std::nullopt;
        }
        offsetSeconds = sign * (oh * 3600LL + om * 60LL);
        pos += colon ? 6 : 5;
    } else {
        return std::nullopt;
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    const long long days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    const long long seconds = days * 86400 + hour * 3600LL + minute * 60LL + second - offsetSeconds;
    return Date{static_cast<double>(seconds) + fraction};
}

Date addingCalendarDays(Date date, int days) {
    std::tm tm = localTm(date);
    tm.tm_mday += days;
    return fromLocalTm(tm, fractionOf(date));
}

Date addingCalendarMonths(Date date, int months) {
    std::tm tm = localTm(date);
    int totalMonths = tm.tm_year * 12 + tm.tm_mon + months;
    int year = totalMonths >= 0 ? totalMonths / 12 : (totalMonths - 11) / 12;
    int month0 = totalMonths - year * 12;
    tm.tm_year = year;
    tm.tm_mon = month0;
    const int limit = daysInMonth(year + 1900, month0);
    if (tm.tm_mday > limit) {
        tm.tm_mday = limit;
    }
    return fromLocalTm(tm, fractionOf(date));
}

Date addingCalendarYears(Date date, int years) {
    return addingCalendarMonths(date, years * 12);
}

LocalDateTime localDateTime(Date date) {
    const std::tm tm = localTm(date);
    return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

} // namespace brisklet
