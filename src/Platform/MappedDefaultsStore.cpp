#include "Platform/MappedDefaultsStore.h"

namespace brisklet {

template <class T> std::optional<T> MappedDefaultsStore::get(std::string_view key) const {
    std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    if (const T* value = std::get_if<T>(&it->second)) {
        return *value;
    }
    return std::nullopt;
}

void MappedDefaultsStore::mutate(std::string_view key, const std::function<void(Values&)>& change) {
    // Persisting happens outside the data lock so readers never wait for the disk, but changes
    // reach `didChange` in the order they were made.
    std::lock_guard order(changeOrder_);
    Values copy;
    {
        std::lock_guard lock(mutex_);
        change(values_);
        copy = values_;
    }
    didChange(copy, std::string(key));
}

std::optional<std::string> MappedDefaultsStore::data(std::string_view key) const {
    if (auto value = get<Data>(key)) {
        return std::move(value->bytes);
    }
    return std::nullopt;
}

void MappedDefaultsStore::setData(std::string_view key, std::string bytes) {
    mutate(key, [&](Values& v) { v[std::string(key)] = Data{std::move(bytes)}; });
}

bool MappedDefaultsStore::boolValue(std::string_view key) const {
    return get<bool>(key).value_or(false);
}

void MappedDefaultsStore::setBool(std::string_view key, bool value) {
    mutate(key, [&](Values& v) { v[std::string(key)] = value; });
}

std::optional<std::string> MappedDefaultsStore::string(std::string_view key) const {
    return get<std::string>(key);
}

void MappedDefaultsStore::setString(std::string_view key, std::string value) {
    mutate(key, [&](Values& v) { v[std::string(key)] = std::move(value); });
}

std::optional<Date> MappedDefaultsStore::date(std::string_view key) const {
    return get<Date>(key);
}

void MappedDefaultsStore::setDate(std::string_view key, Date value) {
    mutate(key, [&](Values& v) { v[std::string(key)] = value; });
}

void MappedDefaultsStore::removeValue(std::string_view key) {
    mutate(key, [&](Values& v) {
        if (const auto it = v.find(key); it != v.end()) {
            v.erase(it);
        }
    });
}

MappedDefaultsStore::Values MappedDefaultsStore::snapshot() const {
    std::lock_guard lock(mutex_);
    return values_;
}

void MappedDefaultsStore::replaceValues(Values values) {
    std::lock_guard order(changeOrder_);
    std::lock_guard lock(mutex_);
    values_ = std::move(values);
}

} // namespace brisklet
