#pragma once

#include "ZelvorApp/Text/ScreenshotTranslationResult.h"

#include <string>
#include <variant>

namespace brisklet {

/// What the editor's text and translation panel shows.
class TranslationPanelState {
public:
    /// Text ready to translate (or a translation shown next to it) with an explanatory message.
    struct Source {
        std::string sourceText;
        std::string translatedText;
        std::string message;
        bool operator==(const Source&) const = default;
    };
    struct Translating {
        std::string sourceText;
        bool operator==(const Translating&) const = default;
    };
    struct Success {
        ScreenshotTranslationResult result;
        bool operator==(const Success&) const = default;
    };
    struct Failed {
        std::string sourceText;
        std::string message;
        bool operator==(const Failed&) const = default;
    };
    struct Hidden {
        bool operator==(const Hidden&) const = default;
    };
    using Value = std::variant<Source, Translating, Success, Failed, Hidden>;

    TranslationPanelState() : value_(Hidden{}) {}
    TranslationPanelState(Source value) : value_(std::move(value)) {}
    TranslationPanelState(Translating value) : value_(std::move(value)) {}
    TranslationPanelState(Success value) : value_(std::move(value)) {}
    TranslationPanelState(Failed value) : value_(std::move(value)) {}
    TranslationPanelState(Hidden value) : value_(value) {}

    const Value& value() const { return value_; }
    template <class Case> bool is() const { return std::holds_alternative<Case>(value_); }
    template <class Case> const Case* as() const { return std::get_if<Case>(&value_); }

    /// The source text of whatever is shown; empty when hidden.
    const std::string& sourceText() const;

    bool operator==(const TranslationPanelState&) const = default;

private:
    Value value_;
};

} // namespace brisklet
