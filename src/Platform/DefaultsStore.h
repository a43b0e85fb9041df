#pragma once

#include "ZelvorCore/Foundation/Date.h"

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// The per-user key-value store for preferences documents and flags. Keys carry the prefix
/// "brisklet.". Data values are raw bytes (for us: JSON text).
class DefaultsStore {
public:
    virtual ~DefaultsStore() = default;

    /// The bytes stored under `key`, or nothing when the key holds no data.
    virtual std::optional<std::string> data(std::string_view key) const = 0;
    virtual void setData(std::string_view key, std::string bytes) = 0;
    /// A boolean that was never written reads as false.
    virtual bool boolValue(std::string_view key) const = 0;
    virtual void setBool(std::string_view key, bool value) = 0;
    virtual std::optional<std::string> string(std::string_view key) const = 0;
    virtual void setString(std::string_view key, std::string value) = 0;
    virtual std::optional<Date> date(std::string_view key) const = 0;
    virtual void setDate(std::string_view key, Date value) = 0;
    /// Forgets whatever is stored under `key`.
    virtual void removeValue(std::string_view key) = 0;
    /// Reads again what another process (`brisklet prefs import`) may have stored meanwhile, so a
    /// long-running application neither misses nor overwrites it. Stores kept only in memory
    /// have nothing to read.
    virtual void reload() {}
};

} // namespace brisklet
