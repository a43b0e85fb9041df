#pragma once

#include "Platform/LanguageIdentifier.h"

namespace brisklet {

/// Language identification with CLD2 (Compact Language Detector 2). Stateless and thread-safe.
class Cld2LanguageIdentifier final : public LanguageIdentifier {
public:
    std::optional<std::string> dominantLanguage(std::string_view text) const override;
};

} // namespace brisklet
