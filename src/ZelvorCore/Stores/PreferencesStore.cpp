#include "ZelvorCore/Stores/PreferencesStore.h"

#include "Platform/DefaultsStore.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

PreferencesStore::PreferencesStore(DefaultsStore& defaults, std::string key)
    : defaults_(defaults), key_(std::move(key)) {}

std::optional<AppPreferences> PreferencesStore::decode(std::string_view bytes, std::string* error) {
    try {
        AppPreferences preferences;
        read(json::parse(bytes), preferences);
        return preferences;
    } catch (const json::DecodeError& e) {
        if (error != nullptr) {
            *error = e.what();
        }
        return std::nullopt;
    }
}

std::string PreferencesStore::encode(const AppPreferences& preferences, bool pretty) {
    return write(preferences).dump(pretty ? 2 : -1);
}

AppPreferences PreferencesStore::load() const {
    std::optional<std::string> ignored;
    return load(ignored);
}

AppPreferences PreferencesStore::load(std::optional<std::string>& decodeError) const {
    decodeError.reset();
    const auto bytes = defaults_.data(key_);
    if (!bytes) {
        return AppPreferences::defaults();
    }
    std::string error;
    if (auto preferences = decode(*bytes, &error)) {
        return std::move(*preferences);
    }
    decodeError = error;
    return AppPreferences::defaults();
}

void PreferencesStore::save(const AppPreferences& preferences) {
    defaults_.setData(key_, encode(preferences));
}

} // namespace brisklet
