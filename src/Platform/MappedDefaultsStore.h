#pragma once

#include "Platform/DefaultsStore.h"

#include <functional>
#include <map>
#include <mutex>
#include <variant>

namespace brisklet {

/// A defaults store over an in-memory map, safe to use from several threads. Backends that
/// persist the map override `didChange`.
class MappedDefaultsStore : public DefaultsStore {
public:
    struct Data {
        std::string bytes;
        bool operator==(const Data&) const = default;
    };
    using Value = std::variant<Data, bool, std::string, Date>;
    using Values = std::map<std::string, Value, std::less<>>;

    std::optional<std::string> data(std::string_view key) const override;
    void setData(std::string_view key, std::string bytes) override;
    bool boolValue(std::string_view key) const override;
    void setBool(std::string_view key, bool value) override;
    std::optional<std::string> string(std::string_view key) const override;
    void setString(std::string_view key, std::string value) override;
    std::optional<Date> date(std::string_view key) const override;
    void setDate(std::string_view key, Date value) override;
    void removeValue(std::string_view key) override;

    Values snapshot() const;

protected:
    explicit MappedDefaultsStore(Values initial = {}) : values_(std::move(initial)) {}
    /// Called after every change with the whole new map and the key that changed (set or
    /// removed), outside the lock, in change order.
    virtual void didChange(const Values& values, const std::string& changedKey) {
        (void)values;
        (void)changedKey;
    }
    /// Replaces every value without calling `didChange` (the values came from the backing store).
    void replaceValues(Values values);

private:
    void mutate(std::string_view key, const std::function<void(Values&)>& change);
    template <class T> std::optional<T> get(std::string_view key) const;

    mutable std::mutex mutex_;
    std::mutex changeOrder_;
    Values values_;
};

} // namespace brisklet
