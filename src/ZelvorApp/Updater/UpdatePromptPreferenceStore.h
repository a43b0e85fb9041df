#pragma once

#include "ZelvorCore/Foundation/Date.h"

#include <string>

namespace brisklet {

class DefaultsStore;

/// What the user answered to earlier update offers: a skipped version, and a version to be
/// offered again only after a while.
class UpdatePromptPreferenceStore {
public:
    /// How long "Remind Me Later" keeps an offer away: a day, like the automatic checks.
    static constexpr double remindLaterIntervalSeconds = 86400;

    explicit UpdatePromptPreferenceStore(DefaultsStore& defaults) : defaults_(defaults) {}

    /// A manual check always shows its offer; an automatic one not for the skipped version, nor
    /// for the reminded version before its time has come.
    bool shouldPresent(const std::string& version, Date now, bool isManualCheck) const;

    void skip(const std::string& version);
    void remindLater(const std::string& version, Date now);
    /// The user chose to install; the caller starts the installation.
    void install(const std::string& version);

private:
    DefaultsStore& defaults_;
};

} // namespace brisklet
