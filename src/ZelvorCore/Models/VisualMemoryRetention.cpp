#include "ZelvorCore/Models/VisualMemoryRetention.h"

namespace brisklet {

namespace {

std::optional<Date> shifted(VisualMemoryRetentionPeriod period, Date date, int sign) {
    switch (period) {
    case VisualMemoryRetentionPeriod::oneDay:
        return addingCalendarDays(date, sign * 1);
    case VisualMemoryRetentionPeriod::threeDays:
        return addingCalendarDays(date, sign * 3);
    case VisualMemoryRetentionPeriod::oneWeek:
        return addingCalendarDays(date, sign * 7);
    case VisualMemoryRetentionPeriod::oneMonth:
        return addingCalendarMonths(date, sign * 1);
    case VisualMemoryRetentionPeriod::threeMonths:
        return addingCalendarMonths(date, sign * 3);
    case VisualMemoryRetentionPeriod::sixMonths:
        return addingCalendarMonths(date, sign * 6);
    case VisualMemoryRetentionPeriod::oneYear:
        return addingCalendarYears(date, sign * 1);
    case VisualMemoryRetentionPeriod::unlimited:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<Date> expirationDate(VisualMemoryRetentionPeriod period, Date from) {
    return shifted(period, from, 1);
}

std::optional<Date> retentionCutoff(VisualMemoryRetentionPeriod period, Date now) {
    return shifted(period, now, -1);
}

std::optional<std::int64_t> byteLimit(VisualMemoryStorageLimit limit) {
    switch (limit) {
    case VisualMemoryStorageLimit::oneGB:
        return 1'000'000'000LL;
    case VisualMemoryStorageLimit::threeGB:
        return 3'000'000'000LL;
    case VisualMemoryStorageLimit::fiveGB:
        return 5'000'000'000LL;
    case VisualMemoryStorageLimit::unlimited:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace brisklet
