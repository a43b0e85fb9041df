#pragma once

#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/EnumTable.h"

#include <cstdint>
#include <optional>

namespace brisklet {

/// How long library items of one kind (and log files) are kept.
enum class VisualMemoryRetentionPeriod {
    oneDay,
    threeDays,
    oneWeek,
    oneMonth,
    threeMonths,
    sixMonths,
    oneYear,
    unlimited
};

/// Upper bound on the bytes the library may occupy.
enum class VisualMemoryStorageLimit { oneGB, threeGB, fiveGB, unlimited };

template <> struct EnumTraits<VisualMemoryRetentionPeriod> {
    static constexpr std::array<std::pair<VisualMemoryRetentionPeriod, std::string_view>, 8> names{{
        {VisualMemoryRetentionPeriod::oneDay, "oneDay"},
        {VisualMemoryRetentionPeriod::threeDays, "threeDays"},
        {VisualMemoryRetentionPeriod::oneWeek, "oneWeek"},
        {VisualMemoryRetentionPeriod::oneMonth, "oneMonth"},
        {VisualMemoryRetentionPeriod::threeMonths, "threeMonths"},
        {VisualMemoryRetentionPeriod::sixMonths, "sixMonths"},
        {VisualMemoryRetentionPeriod::oneYear, "oneYear"},
        {VisualMemoryRetentionPeriod::unlimited, "unlimited"},
    }};
};

template <> struct EnumTraits<VisualMemoryStorageLimit> {
    static constexpr std::array<std::pair<VisualMemoryStorageLimit, std::string_view>, 4> names{{
        {VisualMemoryStorageLimit::oneGB, "oneGB"},
        {VisualMemoryStorageLimit::threeGB, "threeGB"},
        {VisualMemoryStorageLimit::fiveGB, "fiveGB"},
        {VisualMemoryStorageLimit::unlimited, "unlimited"},
    }};
};

/// `date` plus the period in local calendar arithmetic; nothing for `unlimited`.
std::optional<Date> expirationDate(VisualMemoryRetentionPeriod period, Date from);

/// The moment before which something kept for `period` has expired, seen from `now`.
std::optional<Date> retentionCutoff(VisualMemoryRetentionPeriod period, Date now);

/// Decimal bytes (1 GB = 1,000,000,000 bytes); nothing for `unlimited`.
std::optional<std::int64_t> byteLimit(VisualMemoryStorageLimit limit);

} // namespace brisklet
