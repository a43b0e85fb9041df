#include "ZelvorApp/Text/TranslationPanelState.h"

namespace brisklet {

const std::string& TranslationPanelState::sourceText() const {
    static const std::string none;
    if (const auto* source = as<Source>()) {
        return source->sourceText;
    }
    if (const auto* translating = as<Translating>()) {
        return translating->sourceText;
    }
    if (const auto* success = as<Success>()) {
        return success->result.sourceText;
    }
    if (const auto* failed = as<Failed>()) {
        return failed->sourceText;
    }
    return none;
}

} // namespace brisklet
