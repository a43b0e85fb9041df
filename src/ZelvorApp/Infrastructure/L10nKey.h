#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace brisklet {

/// Every user-visible text is named by one of these keys; the raw value is the lookup key in the
/// string tables.
enum class L10nKey {
#define BRISKLET_L10N_KEY(name) name,
#include "ZelvorApp/Infrastructure/L10nKeys.inc"
#undef BRISKLET_L10N_KEY
};

std::string_view rawValue(L10nKey key);
std::optional<L10nKey> l10nKeyFromRawValue(std::string_view raw);
const std::vector<L10nKey>& allL10nKeys();

} // namespace brisklet
