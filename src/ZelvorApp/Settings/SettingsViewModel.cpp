#include "ZelvorApp/Settings/SettingsViewModel.h"

#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Hotkeys/HotkeyDesktopText.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Settings/SettingsSearchPolicy.h"
#include "ZelvorApp/Settings/SettingsViewModelEntry.h"

#include <cmath>
#include <cstdio>
#include <system_error>

namespace brisklet {

SettingsViewModel::SettingsViewModel(AppModel& model, const LocalizationStore& localization, Services services)
    : model_(model), localization_(localization), services_(std::move(services)) {
    entries_ = buildEntries();
    observer_ = model_.addObserver([this](const AppModel&) { changed(); });
}

SettingsViewModel::~SettingsViewModel() {
    stopRecording();
    model_.removeObserver(observer_);
}

const AppPreferences& SettingsViewModel::preferences() const {
    return model_.preferences();
}

void SettingsViewModel::update(const std::function<void(AppPreferences&)>& change) {
    if (services_.updatePreferences) {
        services_.updatePreferences(change);
    }
}

void SettingsViewModel::changed() {
    if (onChange_) {
        onChange_();
    }
}

void SettingsViewModel::selectCategory(SettingsCategory category) {
    selectedCategory_ = category;
    changed();
}

void SettingsViewModel::setQuery(std::string query) {
    query_ = std::move(query);
    changed();
}

std::vector<SettingsCardKind> SettingsViewModel::visibleCards() const {
    return SettingsSearchPolicy::visibleCards(selectedCategory_, query_, localization_);
}

std::string SettingsViewModel::cardTitle(SettingsCardKind card) const {
    return localization_.text(settingsCardSearchKeys(card).front());
}

const SettingsViewModel::Entry* SettingsViewModel::find(const std::string& id) const {
    for (const Entry& entry : entries_) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

std::vector<SettingsControl> SettingsViewModel::controls(SettingsCardKind card) const {
    std::vector<SettingsControl> controls;
    for (const Entry& entry : entries_) {
        if (entry.card != card) {
            continue;
        }
        SettingsControl control;
        control.id = entry.id;
        control.kind = entry.kind;
        if (entry.label) {
            control.label = localization_.text(*entry.label);
        }
        if (entry.detail) {
            control.detail = localization_.text(*entry.detail);
        }
        if (entry.group) {
            control.groupTitle = localization_.text(*entry.group);
        }
        if (entry.choices) {
            control.choices = entry.choices();
        }
        if (entry.disabledReason) {
            if (const auto reason = entry.disabledReason()) {
                control.enabled = false;
                control.disabledReason = localization_.text(*reason);
            }
        }
        control.hotkey = entry.hotkey;
        control.inlineWithPrevious = entry.inlineWithPrevious;
        control.hidden = entry.hidden && entry.hidden();
        control.symbol = entry.symbol;
        if (entry.kind == SettingsControl::Kind::path) {
            control.placeholder = localization_.text(L10nKey::settingsObsidianVaultNotSet);
        }
        controls.push_back(std::move(control));
    }
    return controls;
}

int SettingsViewModel::value(const std::string& id) const {
    const Entry* entry = find(id);
    return entry && entry->get ? entry->get() : 0;
}

void SettingsViewModel::setValue(const std::string& id, int value) {
    const Entry* entry = find(id);
    if (!entry || !entry->set || (entry->disabledReason && entry->disabledReason())) {
        return;
    }
    RuntimeLogger::log("settings changed control=" + id + " value=" + std::to_string(value));
    entry->set(value);
}

void SettingsViewModel::trigger(const std::string& id) {
    const Entry* entry = find(id);
    if (!entry || !entry->run || (entry->disabledReason && entry->disabledReason())) {
        return;
    }
    RuntimeLogger::log("settings action control=" + id);
    entry->run();
    changed();
}

std::string SettingsViewModel::text(const std::string& id) const {
    const Entry* entry = find(id);
    if (!entry) {
        return {};
    }
    if (entry->hotkey) {
        return hotkeyText(*entry->hotkey);
    }
    return entry->text ? entry->text() : std::string();
}

std::string SettingsViewModel::message(const std::string& id) const {
    const auto it = messages_.find(id);
    return it == messages_.end() ? std::string() : it->second;
}

// MARK: export directory

std::optional<std::filesystem::path> SettingsViewModel::usableDirectory(const std::string& path,
                                                                        const std::filesystem::path& home) {
    std::string trimmed = path;
    while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.back()))) {
        trimmed.pop_back();
    }
    while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.front()))) {
        trimmed.erase(trimmed.begin());
    }
    if (trimmed.empty()) {
        return std::nullopt;
    }
    std::filesystem::path directory(trimmed);
    if (trimmed == "~" || trimmed.starts_with("~/")) {
        directory = home / trimmed.substr(std::min<std::size_t>(2, trimmed.size()));
    }
    if (!directory.is_absolute()) {
        return std::nullopt;
    }
    directory = directory.lexically_normal();
    std::error_code error;
    if (std::filesystem::is_directory(directory, error)) {
        return directory;
    }
    if (std::filesystem::exists(directory, error)) {
        return std::nullopt;
    }
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory, error)) {
        return std::nullopt;
    }
    return directory;
}

bool SettingsViewModel::setExportDirectory(const std::string& path) {
    return setDirectory("export.directory", path);
}

bool SettingsViewModel::setDirectory(const std::string& id, const std::string& path) {
    const Entry* entry = find(id);
    if (!entry || !entry->storePath) {
        return false;
    }
    const auto directory = usableDirectory(path, currentHomeDirectory());
    if (!directory) {
        RuntimeLogger::log("settings directory refused control=" + id + " path=" + path);
        messages_[id] = localization_.text(L10nKey::settingsExportDirectoryUnavailable);
        changed();
        return false;
    }
    messages_.erase(id);
    std::string stored = directory->string();
    while (stored.size() > 1 && stored.back() == '/') {
        stored.pop_back();
    }
    RuntimeLogger::log("settings directory changed control=" + id + " path=" + stored);
    const auto store = entry->storePath;
    update([&](AppPreferences& p) { store(p, stored); });
    changed();
    return true;
}

// MARK: hotkeys

std::string SettingsViewModel::hotkeyText(const HotkeyRecordTarget& target) const {
    const std::string text = HotkeyDesktopText::text(hotkeyConfiguration(target, preferences()));
    return text.empty() ? localization_.text(L10nKey::settingsHotkeyNotSet) : text;
}

void SettingsViewModel::startRecording(const HotkeyRecordTarget& target) {
    const bool wasRecording = recording_.has_value();
    recording_ = target;
    messages_.erase("hotkey." + hotkeyTargetName(target));
    if (!wasRecording && services_.setHotkeysSuspended) {
        services_.setHotkeysSuspended(true);
    }
    RuntimeLogger::log("settings hotkey recording started target=" + hotkeyTargetName(target));
    changed();
}

void SettingsViewModel::stopRecording() {
    if (!recording_) {
        return;
    }
    recording_.reset();
    if (services_.setHotkeysSuspended) {
        services_.setHotkeysSuspended(false);
    }
    changed();
}

HotkeyRecordingOutcome SettingsViewModel::recordKey(const RawKeyEvent& key) {
    if (!recording_) {
        return {};
    }
    const HotkeyRecordTarget target = *recording_;
    const std::string id = "hotkey." + hotkeyTargetName(target);
    HotkeyRecordingOutcome outcome = HotkeyRecordingPolicy::evaluate(target, key, preferences());
    using Kind = HotkeyRecordingOutcome::Kind;
    switch (outcome.kind) {
    case Kind::refusedModifierOnly:
        // Modifiers are pressed on the way to a combination; only the prompt stays.
        return outcome;
    case Kind::cancelled:
        RuntimeLogger::log("settings hotkey recording cancelled target=" + hotkeyTargetName(target));
        stopRecording();
        return outcome;
    case Kind::refusedModifierRequired:
        messages_[id] = localization_.text(L10nKey::settingsHotkeyModifierRequired);
        break;
    case Kind::refusedConflict:
        messages_[id] = localization_.format(L10nKey::settingsHotkeyConflictMessage,
                                             {localization_.text(hotkeyTargetTitleKey(*outcome.conflict))});
        RuntimeLogger::log("settings hotkey refused target=" + hotkeyTargetName(target) +
                           " conflict=" + hotkeyTargetName(*outcome.conflict));
        break;
    case Kind::accepted: {
        const HotkeyConfiguration combination = outcome.combination;
        RuntimeLogger::log("settings hotkey recorded target=" + hotkeyTargetName(target) +
                           " key=" + combination.displayValue());
        stopRecording();
        update([&](AppPreferences& p) { hotkeyConfiguration(target, p) = combination; });
        noteRegistration(target);
        break;
    }
    }
    changed();
    return outcome;
}

void SettingsViewModel::noteRegistration(const HotkeyRecordTarget& target) {
    const std::string id = "hotkey." + hotkeyTargetName(target);
    messages_.erase(id);
    const auto* global = std::get_if<GlobalHotkeyAction>(&target);
    if (!global || !services_.hotkeyRegistrationFailure) {
        return;
    }
    if (const auto status = services_.hotkeyRegistrationFailure(*global); status && *status > 0) {
        messages_[id] = localization_.text(L10nKey::settingsHotkeyRegisterFailed);
        RuntimeLogger::log("settings hotkey held by another application target=" + hotkeyTargetName(target) +
                           " status=" + std::to_string(*status));
    }
}

void SettingsViewModel::clearHotkey(const HotkeyRecordTarget& target) {
    if (recording_ == target) {
        stopRecording();
    }
    messages_.erase("hotkey." + hotkeyTargetName(target));
    update([&](AppPreferences& p) { hotkeyConfiguration(target, p) = HotkeyConfiguration{}; });
    changed();
}

void SettingsViewModel::restoreDefaultHotkeys() {
    stopRecording();
    const AppPreferences& defaults = AppPreferences::defaults();
    update([&](AppPreferences& p) {
        for (const auto& target : allHotkeyRecordTargets()) {
            hotkeyConfiguration(target, p) = hotkeyConfiguration(target, defaults);
        }
    });
    for (const auto& target : allHotkeyRecordTargets()) {
        noteRegistration(target);
    }
    changed();
}

// MARK: refresh

void SettingsViewModel::refresh() {
    if (services_.storageUsage) {
        usage_ = services_.storageUsage();
    }
    if (services_.permissions) {
        permissions_ = services_.permissions();
    }
    for (const auto& target : allHotkeyRecordTargets()) {
        if (!recording_ || *recording_ != target) {
            noteRegistration(target);
        }
    }
    changed();
}

std::string SettingsViewModel::byteCountText(std::int64_t bytes) {
    static constexpr const char* units[] = {"B", "KB", "MB", "GB", "TB"};
    if (bytes < 1000) {
        return std::to_string(std::max<std::int64_t>(0, bytes)) + " B";
    }
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1000 && unit < 4) {
        value /= 1000;
        ++unit;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, value < 10 ? "%.1f %s" : "%.0f %s", value, units[unit]);
    return buffer;
}

} // namespace brisklet
