#pragma once

#include "ZelvorApp/Memory/WebAddress.h"
#include "ZelvorCore/Models/VisualMemoryEnums.h"

#include <optional>
#include <string_view>

namespace brisklet {

/// Tells a copied link and a copied code snippet from ordinary text. Never answers `image`.
struct ClipboardTextClassifier {
    /// A lone link (or a link with one more word) is `link`; otherwise code-looking text is
    /// `codeSnippet` and the rest `plainText`.
    static ClipboardContentKind classify(std::string_view text);
    /// The whole trimmed text when it is one URL with a scheme, else the first link inside it.
    static std::optional<WebAddress> primaryURL(std::string_view text);
    /// Code keywords, enough code punctuation over several lines, or a bracketed document.
    static bool looksLikeCode(std::string_view text);
};

/// Secrets stay out of the library: passwords, keys, tokens and long bare key-like strings.
bool looksSensitiveClipboardText(std::string_view text);

} // namespace brisklet
