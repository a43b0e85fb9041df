#pragma once

#include "Platform/PrivacyPermissions.h"

#include <vector>

namespace brisklet {

/// Permissions the test sets; asking for accessibility grants it when `grantsAccessibility`.
class FakePrivacyPermissions final : public PrivacyPermissions {
public:
    bool screenCapturePreflight() const override {
        ++preflights;
        return screenCaptureAllowed;
    }
    bool requestScreenCapture() override {
        ++screenCaptureRequests;
        screenCaptureAllowed = screenCaptureAllowed || grantsScreenCapture;
        return screenCaptureAllowed;
    }
    bool isAccessibilityTrusted() const override { return accessibilityTrusted; }
    bool requestAccessibilityTrust() override {
        ++accessibilityRequests;
        accessibilityTrusted = accessibilityTrusted || grantsAccessibility;
        return accessibilityTrusted;
    }
    bool openPrivacySettings(AppPermission permission) override {
        openedSettings.push_back(permission);
        return hasSettingsApplication;
    }
    std::filesystem::path bundlePath() const override { return executable; }

    bool screenCaptureAllowed = true;
    bool grantsScreenCapture = false;
    bool accessibilityTrusted = false;
    bool grantsAccessibility = false;
    bool hasSettingsApplication = true;
    std::filesystem::path executable = "/usr/bin/brisklet-engine";

    mutable int preflights = 0;
    int screenCaptureRequests = 0;
    int accessibilityRequests = 0;
    std::vector<AppPermission> openedSettings;
};

} // namespace brisklet
