// The controls of every settings card: what each shows, reads and writes.

#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Settings/SettingsViewModelEntry.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace brisklet {

namespace {

using K = L10nKey;
using C = SettingsCardKind;
using Kind = SettingsControl::Kind;
using Entry = SettingsViewModel::Entry;

template <typename E> std::vector<std::pair<int, L10nKey>> keyed(std::initializer_list<std::pair<E, L10nKey>> options) {
    std::vector<std::pair<int, L10nKey>> out;
    for (const auto& [value, key] : options) {
        out.emplace_back(static_cast<int>(value), key);
    }
    return out;
}

std::vector<std::pair<int, L10nKey>> retentionOptions() {
    using R = VisualMemoryRetentionPeriod;
    return keyed<R>({{R::oneDay, K::settingsRetentionOneDay},
                     {R::threeDays, K::settingsRetentionThreeDays},
                     {R::oneWeek, K::settingsRetentionOneWeek},
                     {R::oneMonth, K::settingsRetentionOneMonth},
                     {R::threeMonths, K::settingsRetentionThreeMonths},
                     {R::sixMonths, K::settingsRetentionSixMonths},
                     {R::oneYear, K::settingsRetentionOneYear},
                     {R::unlimited, K::settingsRetentionUnlimited}});
}

/// Builds the entries of one card; `prefs` reads the current record.
class CardBuilder {
public:
    CardBuilder(std::vector<Entry>& entries, const LocalizationStore& text,
                std::function<const AppPreferences&()> prefs,
                std::function<void(const std::function<void(AppPreferences&)>&)> update)
        : entries_(entries), text_(text), prefs_(std::move(prefs)), update_(std::move(update)) {}

    void card(C card) { card_ = card; }

    /// A boolean preference; `field` is a generic lambda returning a reference into the record.
    template <typename Field> Entry& toggle(std::string id, K label, Field field, std::optional<K> detail = {}) {
        Entry& entry = add(std::move(id), Kind::toggle, label, detail);
        auto prefs = prefs_;
        auto update = update_;
        entry.get = [prefs, field] { return field(prefs()) ? 1 : 0; };
        entry.set = [update, field](int value) { update([&](AppPreferences& p) { field(p) = value != 0; }); };
        return entry;
    }

    /// An enumeration preference offered as the listed values with their texts.
    template <typename Field>
    Entry& choice(std::string id, K label, Field field, std::vector<std::pair<int, L10nKey>> options,
                  std::optional<K> detail = {}) {
        Entry& entry = add(std::move(id), Kind::choice, label, detail);
        const LocalizationStore& text = text_;
        entry.choices = [&text, options] {
            std::vector<SettingsChoice> choices;
            for (const auto& [value, key] : options) {
                choices.push_back({text.text(key), value});
            }
            return choices;
        };
        auto prefs = prefs_;
        auto update = update_;
        entry.get = [prefs, field] { return static_cast<int>(field(prefs())); };
        entry.set = [update, field](int value) {
            update([&](AppPreferences& p) {
                using E = std::remove_reference_t<decltype(field(p))>;
                field(p) = static_cast<E>(value);
            });
        };
        return entry;
    }

    /// A number preference offered as a few values, shown by `describe`.
    template <typename Field>
    Entry& numberChoice(std::string id, K label, Field field, std::vector<double> values,
                        std::function<std::string(double)> describe) {
        Entry& entry = add(std::move(id), Kind::choice, label, {});
        entry.choices = [values, describe] {
            std::vector<SettingsChoice> choices;
            for (const double value : values) {
                choices.push_back({describe(value), static_cast<int>(std::lround(value))});
            }
            return choices;
        };
        auto prefs = prefs_;
        auto update = update_;
        entry.get = [prefs, field] { return static_cast<int>(std::lround(field(prefs()))); };
        entry.set = [update, field](int value) { update([&](AppPreferences& p) { field(p) = value; }); };
        return entry;
    }

    Entry& button(std::string id, K label, std::function<void()> run) {
        Entry& entry = add(std::move(id), Kind::button, label, {});
        entry.run = std::move(run);
        return entry;
    }

    Entry& status(std::string id, std::optional<K> label, std::function<std::string()> shown) {
        Entry& entry = add(std::move(id), Kind::status, label, {});
        entry.text = std::move(shown);
        return entry;
    }

    Entry& add(std::string id, Kind kind, std::optional<K> label, std::optional<K> detail) {
        Entry entry;
        entry.card = card_;
        entry.id = std::move(id);
        entry.kind = kind;
        entry.label = label;
        entry.detail = detail;
        entries_.push_back(std::move(entry));
        return entries_.back();
    }

private:
    std::vector<Entry>& entries_;
    const LocalizationStore& text_;
    std::function<const AppPreferences&()> prefs_;
    std::function<void(const std::function<void(AppPreferences&)>&)> update_;
    C card_ = C::language;
};

} // namespace

std::vector<SettingsViewModel::Entry> SettingsViewModel::buildEntries() {
    std::vector<Entry> entries;
    // Entries hold references into this vector while it grows; reserve enough for all of them.
    entries.reserve(128);
    const LocalizationStore& l10n = localization_;
    CardBuilder b(
        entries, l10n, [this]() -> const AppPreferences& { return preferences(); },
        [this](const std::function<void(AppPreferences&)>& change) { update(change); });

    // Language: every interface language by its own name; the translation target likewise.
    b.card(C::language);
    Entry& language =
        b.add("language.appLanguage", Kind::choice, K::settingsAppLanguage, K::settingsLanguageDescription);
    language.choices = [&l10n] {
        std::vector<SettingsChoice> choices;
        for (const auto value : allCases<AppLanguage>()) {
            choices.push_back({value == AppLanguage::system ? l10n.text(K::settingsLanguageFollowSystem)
                                                            : l10n.appLanguageDisplayName(value),
                               static_cast<int>(value)});
        }
        return choices;
    };
    language.get = [this] { return static_cast<int>(preferences().appLanguage); };
    language.set = [this](int value) {
        update([&](AppPreferences& p) { p.appLanguage = static_cast<AppLanguage>(value); });
    };
    Entry& target = b.add("language.translationTarget", Kind::choice, K::settingsTranslationTargetLanguage,
                          K::settingsTranslationTargetDescription);
    target.choices = [&l10n] {
        std::vector<SettingsChoice> choices;
        for (const auto value : allCases<TranslationTargetLanguage>()) {
            choices.push_back({value == TranslationTargetLanguage::automatic
                                   ? l10n.text(K::translationTargetAuto)
                                   : l10n.translationLanguageDisplayName(value),
                               static_cast<int>(value)});
        }
        return choices;
    };
    target.get = [this] { return static_cast<int>(preferences().translationTargetLanguage); };
    target.set = [this](int value) {
        update([&](AppPreferences& p) { p.translationTargetLanguage = static_cast<TranslationTargetLanguage>(value); });
    };

    b.card(C::appearance);
    using V = VisualAppearanceMode;
    b.choice(
        "appearance.mode", K::settingsAppearanceCard, [](auto& p) -> auto& { return p.visualAppearanceMode; },
        keyed<V>({{V::system, K::settingsAppearanceFollowSystem},
                  {V::light, K::settingsAppearanceLight},
                  {V::dark, K::settingsAppearanceDark}}),
        K::settingsAppearanceDescription);

    b.card(C::permissions);
    const auto granted = [this, &l10n](AppPermission permission) {
        const bool yes =
            permission == AppPermission::screenRecording ? permissions_.screenRecording : permissions_.accessibility;
        return l10n.text(yes ? K::settingsPermissionGranted : K::settingsPermissionNotGranted);
    };
    for (const auto& row :
         {std::tuple{AppPermission::screenRecording, "screenRecording", K::settingsScreenRecordingPermission,
                     K::settingsScreenRecordingPermissionDescription},
          std::tuple{AppPermission::accessibility, "accessibility", K::settingsAccessibilityPermission,
                     K::settingsAccessibilityPermissionDescription}}) {
        const AppPermission permission = std::get<0>(row);
        const auto [ignored, name, label, detail] = row;
        const std::string prefix = std::string("permissions.") + name;
        Entry& state = b.status(prefix, label, [granted, permission] { return granted(permission); });
        state.detail = detail;
        Entry& grant = b.button(prefix + ".grant", K::settingsGrantPermission, [this, permission] {
            if (services_.requestPermission) {
                services_.requestPermission(permission);
            }
            refresh();
        });
        grant.inlineWithPrevious = true;
        grant.disabledReason = [this, permission]() -> std::optional<L10nKey> {
            const bool yes = permission == AppPermission::screenRecording ? permissions_.screenRecording
                                                                          : permissions_.accessibility;
            return yes ? std::optional<L10nKey>(K::settingsPermissionGranted) : std::nullopt;
        };
        b.button(prefix + ".openSettings", K::settingsOpenSystemSettings, [this, permission] {
             if (services_.openPermissionSettings) {
                 services_.openPermissionSettings(permission);
             }
         }).inlineWithPrevious = true;
    }
    b.button("permissions.refresh", K::settingsRefreshPermissions, [this] { refresh(); });

    b.card(C::updates);
    b.status("updates.currentVersion", std::nullopt,
             [this, &l10n] { return l10n.format(K::settingsCurrentVersion, {services_.version}); });
    b.toggle(
        "updates.automatic", K::settingsAutomaticUpdateChecks,
        [](auto& p) -> auto& { return p.automaticUpdateChecksEnabled; });
    b.status("updates.latestVersion", std::nullopt, [this, &l10n] {
        const auto& latest = model_.updaterStatus().latestVersion;
        return latest ? l10n.format(K::settingsLatestVersion, {*latest}) : std::string();
    }).hidden = [this] { return !model_.updaterStatus().latestVersion; };
    b.status("updates.status", std::nullopt, [this] {
        const AppUpdaterStatus& status = model_.updaterStatus();
        return status.detail.empty() ? status.title : status.title + "\n" + status.detail;
    });
    Entry& progress = b.add("updates.progress", Kind::progress, std::nullopt, std::nullopt);
    progress.get = [this] {
        const auto& fraction = model_.updaterStatus().progressFraction;
        return fraction ? static_cast<int>(std::lround(std::clamp(*fraction, 0.0, 1.0) * 1000.0)) : -1;
    };
    progress.hidden = [this] { return model_.updaterStatus().phase != AppUpdaterPhase::downloading; };
    b.button("updates.check", K::settingsCheckForUpdates, [this] {
        if (services_.checkForUpdates) {
            services_.checkForUpdates();
        }
    });
    b.button("updates.install", K::settingsInstallUpdateNow, [this] {
         if (services_.installUpdate) {
             services_.installUpdate();
         }
     }).hidden = [this] { return model_.updaterStatus().phase != AppUpdaterPhase::updateAvailable; };
    b.button("updates.cancel", K::genericCancel, [this] {
         if (services_.cancelUpdateDownload) {
             services_.cancelUpdateDownload();
         }
     }).hidden = [this] { return model_.updaterStatus().phase != AppUpdaterPhase::downloading; };

    b.card(C::selection);
    b.toggle(
        "selection.crosshair", K::settingsCrosshair,
        [](auto& p) -> auto& { return p.selectionAssistant.showsCrosshair; });
    b.toggle(
        "selection.magnifier", K::settingsMagnifier,
        [](auto& p) -> auto& { return p.selectionAssistant.showsMagnifier; }, K::settingsSelectionDescription);
    b.toggle(
        "selection.rememberSelection", K::settingsRememberSelection,
        [](auto& p) -> auto& { return p.selectionAssistant.remembersLastSelection; });
    b.toggle(
        "selection.smartSnap", K::settingsSmartSnap,
        [](auto& p) -> auto& { return p.selectionAssistant.smartSnapEnabled; }, K::settingsSmartSnapDescription);

    b.card(C::captureExperience);
    b.toggle(
        "capture.launchAtLogin", K::settingsLaunchAtLogin, [](auto& p) -> auto& { return p.launchAtLoginEnabled; });
    const auto iconsUnsupported = [this]() -> std::optional<L10nKey> {
        const bool supported = services_.desktopIconsSupported && services_.desktopIconsSupported();
        return supported ? std::nullopt : std::optional<L10nKey>(K::settingsDesktopIconsUnsupported);
    };
    Entry& hideNow = b.add("capture.hideDesktopIcons", Kind::toggle, K::settingsHideDesktopIconsManually,
                           K::settingsHideDesktopIconsDescription);
    hideNow.get = [this] { return services_.desktopIconsHidden && services_.desktopIconsHidden() ? 1 : 0; };
    hideNow.set = [this](int value) {
        if (services_.setDesktopIconsHidden) {
            services_.setDesktopIconsHidden(value != 0);
        }
        changed();
    };
    hideNow.disabledReason = iconsUnsupported;
    b.toggle(
        "capture.backgroundPanelDefaultOpen", K::settingsBackgroundPanelDefaultOpen,
        [](auto& p) -> auto& { return p.backgroundToolEnabledByDefault; });
    b.toggle(
        "capture.backgroundAutoApply", K::settingsBackgroundAutoApply,
        [](auto& p) -> auto& { return p.backgroundAutoApplyEnabled; }, K::settingsBackgroundAutoApplyDescription);
    b.toggle(
        "capture.enhanceAnnotationColors", K::settingsEnhanceAnnotationColors,
        [](auto& p) -> auto& { return p.enhanceAnnotationColors; }, K::settingsEnhanceAnnotationColorsDescription);
    b.toggle(
        "capture.allowNestedScreenshotHotkey", K::settingsAllowNestedScreenshotHotkey,
        [](auto& p) -> auto& { return p.allowNestedScreenshotHotkey; },
        K::settingsAllowNestedScreenshotHotkeyDescription);
    b.toggle(
         "capture.autoHideForScreenshot", K::settingsAutoHideForScreenshot,
         [](auto& p) -> auto& { return p.autoHideDesktopIconsForScreenshot; })
        .disabledReason = iconsUnsupported;
    entries.back().group = K::settingsAutoHideDesktopIcons;
    b.toggle(
         "capture.autoHideForLongshot", K::settingsAutoHideForLongshot,
         [](auto& p) -> auto& { return p.autoHideDesktopIconsForLongshot; })
        .disabledReason = iconsUnsupported;
    b.toggle(
         "capture.autoHideForGifRegion", K::settingsAutoHideForGifRegion,
         [](auto& p) -> auto& { return p.autoHideDesktopIconsForGIFRegion; })
        .disabledReason = iconsUnsupported;

    b.card(C::floatingThumbnail);
    b.toggle(
        "thumbnail.afterExport", K::settingsFloatingThumbnailAfterScreenshotExport,
        [](auto& p) -> auto& { return p.showsFloatingThumbnailAfterScreenshotExport; },
        K::settingsFloatingThumbnailDescription);
    b.toggle(
        "thumbnail.hideDuringScreenshot", K::settingsFloatingThumbnailHideDuringScreenshot,
        [](auto& p) -> auto& { return p.hidesFloatingThumbnailDuringScreenshot; });
    using P = FloatingThumbnailPosition;
    b.choice(
        "thumbnail.position", K::settingsFloatingThumbnailPosition,
        [](auto& p) -> auto& { return p.floatingThumbnailPosition; },
        keyed<P>({{P::topLeft, K::settingsPositionTopLeft},
                  {P::topRight, K::settingsPositionTopRight},
                  {P::bottomLeft, K::settingsPositionBottomLeft},
                  {P::bottomRight, K::settingsPositionBottomRight}}));
    b.numberChoice(
        "thumbnail.dismissDelay", K::settingsFloatingThumbnailDismissDelay,
        [](auto& p) -> auto& { return p.floatingThumbnailDismissDelay; },
        {3, 5, 10, 15, 30, 60, neverDismissDelaySeconds},
        [&l10n](double seconds) {
            return seconds >= neverDismissDelaySeconds
                       ? l10n.text(K::settingsDismissDelayNever)
                       : l10n.format(K::settingsSecondsValue, {static_cast<int>(seconds)});
        });

    b.card(C::longshot);
    using S = LongshotSpeed;
    b.choice(
        "longshot.speed", K::settingsSamplingSpeed, [](auto& p) -> auto& { return p.longshotConfig.speed; },
        keyed<S>({{S::slow, K::speedSlow}, {S::normal, K::speedNormal}, {S::fast, K::speedFast}}),
        K::settingsSamplingSpeedDescription);

    b.card(C::gif);
    b.numberChoice(
         "gif.frameRate", K::settingsFrameRate, [](auto& p) -> auto& { return p.gifFPS; }, {20, 24, 30, 60},
         [&l10n](double fps) { return l10n.format(K::settingsFrameRateValue, {static_cast<int>(fps)}); })
        .detail = K::settingsGifDescription;
    b.numberChoice(
        "gif.maxDuration", K::settingsMaxDuration, [](auto& p) -> auto& { return p.gifMaxDuration; },
        {10, 15, 30, 60, 120},
        [&l10n](double s) { return l10n.format(K::settingsSecondsValue, {static_cast<int>(s)}); });
    b.toggle(
        "gif.copyAfterExport", K::settingsCopyRecordingAfterExport, [](auto& p) -> auto& { return p.exportAfterCopy; });

    b.card(C::hotkeys);
    for (const auto& hotkeyTarget : allHotkeyRecordTargets()) {
        Entry& field =
            b.add("hotkey." + hotkeyTargetName(hotkeyTarget), Kind::hotkey, hotkeyTargetTitleKey(hotkeyTarget), {});
        field.hotkey = hotkeyTarget;
        if (hotkeyTarget == allHotkeyRecordTargets().front()) {
            field.group = K::settingsHotkeyGlobalGroup;
        } else if (std::holds_alternative<SelectionFullScreenHotkey>(hotkeyTarget)) {
            field.group = K::settingsHotkeySelectionGroup;
        } else if (hotkeyTarget == HotkeyRecordTarget(EditorHotkeyAction::pin)) {
            field.group = K::settingsHotkeyEditorGroup;
        }
    }
    b.button("hotkeys.restoreDefaults", K::settingsHotkeyRestoreDefaults, [this] { restoreDefaultHotkeys(); });

    b.card(C::pinnedMouse);
    using D = PinnedMouseDoubleClickAction;
    const auto doubleClick = keyed<D>({{D::none, K::settingsDoubleClickNone},
                                       {D::close, K::settingsDoubleClickClose},
                                       {D::copyAndClose, K::settingsDoubleClickCopyAndClose}});
    b.choice(
        "pinned.leftDoubleClick", K::settingsLeftDoubleClick,
        [](auto& p) -> auto& { return p.pinnedLeftDoubleClickAction; }, doubleClick, K::settingsPinnedMouseDescription);
    b.choice(
        "pinned.rightDoubleClick", K::settingsRightDoubleClick,
        [](auto& p) -> auto& { return p.pinnedRightDoubleClickAction; }, doubleClick);
    b.toggle(
        "pinned.opacityControl", K::settingsPinnedOpacityControl,
        [](auto& p) -> auto& { return p.showsPinnedScreenshotOpacityControl; });
    b.toggle(
        "pinned.closeWithEscape", K::settingsPinnedCloseWithEscape,
        [](auto& p) -> auto& { return p.closesPinnedScreenshotWithEscape; });

    b.card(C::exportDirectory);
    Entry& directory =
        b.add("export.directory", Kind::path, K::settingsDefaultExportDirectory, K::settingsExportDescription);
    directory.text = [this] { return preferences().exportDirectoryURL().string(); };
    directory.storePath = [](AppPreferences& p, const std::string& path) { p.exportDirectory = path; };
    b.button("export.open", K::settingsOpenDirectory, [this] {
        std::error_code error;
        std::filesystem::create_directories(preferences().exportDirectoryURL(), error);
        if (services_.open) {
            services_.open(preferences().exportDirectoryURL().string());
        }
    });
    b.button("export.restoreDefault", K::settingsRestoreDefaultDirectory,
             [this] { setExportDirectory(services_.defaultExportDirectory.string()); });
    entries.back().inlineWithPrevious = true;

    Entry& vault = b.add("export.obsidianVault", Kind::path, K::settingsObsidianVault, K::settingsObsidianDescription);
    vault.text = [this] { return preferences().obsidianExportDirectory.value_or(std::string()); };
    vault.storePath = [](AppPreferences& p, const std::string& path) { p.obsidianExportDirectory = path; };

    b.card(C::logs);
    b.toggle(
        "logs.save", K::settingsSaveLogs, [](auto& p) -> auto& { return p.saveLogsEnabled; },
        K::settingsLogsDescription);
    b.status("logs.location", K::settingsLogLocation,
             [this] { return services_.logsDirectory ? services_.logsDirectory().string() : std::string(); });
    b.button("logs.open", K::settingsOpenLogFolder, [this] {
         if (services_.open && services_.logsDirectory) {
             services_.open(services_.logsDirectory().string());
         }
     }).inlineWithPrevious = true;
    b.choice(
        "logs.retention", K::settingsLogRetention, [](auto& p) -> auto& { return p.logRetentionPeriod; },
        retentionOptions());

    b.card(C::visualMemoryRetention);
    // One row per kind: whether it is kept, and for how long.
    const auto kind = [&b, &entries](const std::string& name, K title, auto save, auto keep) {
        b.toggle("memory." + name + ".save", title, save);
        if (name == "screenshot") {
            entries.back().group = K::settingsPolicyAutoSave;
        }
        b.choice("memory." + name + ".retention", K::settingsPolicyRetention, keep, retentionOptions())
            .inlineWithPrevious = true;
    };
    kind(
        "screenshot", K::settingsPolicyScreenshot, [](auto& p) -> auto& { return p.saveScreenshotToVisualMemory; },
        [](auto& p) -> auto& { return p.screenshotRetentionPeriod; });
    kind(
        "longshot", K::settingsPolicyLongshot, [](auto& p) -> auto& { return p.saveLongshotToVisualMemory; },
        [](auto& p) -> auto& { return p.longshotRetentionPeriod; });
    kind(
        "gif", K::settingsPolicyGif, [](auto& p) -> auto& { return p.saveGIFToVisualMemory; },
        [](auto& p) -> auto& { return p.gifRetentionPeriod; });
    kind(
        "video", K::settingsPolicyVideo, [](auto& p) -> auto& { return p.saveVideoToVisualMemory; },
        [](auto& p) -> auto& { return p.videoRetentionPeriod; });
    kind(
        "copiedText", K::settingsPolicyCopiedText, [](auto& p) -> auto& { return p.saveClipboardTextToVisualMemory; },
        [](auto& p) -> auto& { return p.clipboardTextRetentionPeriod; });
    kind(
        "copiedImage", K::settingsPolicyCopiedImage,
        [](auto& p) -> auto& { return p.saveClipboardImageToVisualMemory; },
        [](auto& p) -> auto& { return p.clipboardImageRetentionPeriod; });
    using L = VisualMemoryStorageLimit;
    b.choice(
        "memory.storageLimit", K::settingsStorageLimit, [](auto& p) -> auto& { return p.visualMemoryStorageLimit; },
        keyed<L>({{L::oneGB, K::settingsStorageLimitOneGB},
                  {L::threeGB, K::settingsStorageLimitThreeGB},
                  {L::fiveGB, K::settingsStorageLimitFiveGB},
                  {L::unlimited, K::settingsStorageLimitUnlimited}}),
        K::settingsStorageLimitDescription);
    b.status("memory.usage", std::nullopt, [this, &l10n] {
        if (!usage_) {
            return l10n.text(K::settingsStorageUsageCalculating);
        }
        return l10n.format(K::settingsStorageUsage, {byteCountText(usage_->byteCount), usage_->itemCount});
    });
    b.button("memory.cleanNow", K::settingsCleanNow, [this, &l10n] {
         if (!services_.cleanNow) {
             return;
         }
         const CleanupResult result = services_.cleanNow();
         messages_["memory.cleanNow"] =
             l10n.format(K::messageCleanupCompleted, {result.removedItems, byteCountText(result.freedBytes)});
         if (services_.storageUsage) {
             usage_ = services_.storageUsage();
         }
     }).inlineWithPrevious = true;

    b.card(C::about);
    b.status("about.description", std::nullopt, [&l10n] { return l10n.text(K::settingsAboutDescription); });
    b.status("about.version", std::nullopt,
             [this, &l10n] { return l10n.format(K::settingsVersion, {services_.version}); });
    b.status("about.license", std::nullopt, [&l10n] { return l10n.text(K::settingsLicense); });
    b.status("about.privacy", std::nullopt, [&l10n] { return l10n.text(K::settingsLegalDescription); }).group =
        K::settingsPrivacyPolicy;
    b.button("about.userAgreement", K::settingsUserAgreement, [this] {
        if (services_.open) {
            services_.open(services_.userAgreementLink);
        }
    });
    Entry& project = b.button("about.project", K::settingsProjectLink, [this] {
        if (services_.open) {
            services_.open(services_.projectLink);
        }
    });
    project.inlineWithPrevious = true;
    project.disabledReason = [this]() -> std::optional<L10nKey> {
        return services_.projectLink.empty() ? std::optional<L10nKey>(K::settingsProjectLinkUnavailable) : std::nullopt;
    };
    // Every button has its icon.
    static const std::map<std::string, std::string> symbols{
        {"permissions.refresh", "arrow.triangle.2.circlepath"},
        {"updates.check", "arrow.triangle.2.circlepath"},
        {"hotkeys.restoreDefaults", "arrow.uturn.backward"},
        {"export.open", "folder"},
        {"export.restoreDefault", "arrow.uturn.backward"},
        {"logs.open", "folder"},
        {"memory.cleanNow", "trash"},
        {"about.userAgreement", "doc.text"},
        {"about.project", "arrow.up.forward.app"},
    };
    for (Entry& entry : entries) {
        if (const auto it = symbols.find(entry.id); it != symbols.end()) {
            entry.symbol = it->second;
        } else if (entry.kind == Kind::button) {
            entry.symbol = entry.id.ends_with(".grant") ? "checkmark" : "gearshape";
        }
    }
    return entries;
}

} // namespace brisklet
