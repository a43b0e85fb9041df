#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// What a copied text (or image) is, as shown by the library's filters and icons.
enum class ClipboardContentKind { plainText, link, codeSnippet, image };

/// Extra context an item carries; `appshot` marks a capture with a knowledge package.
enum class VisualMemoryContextKind { appshot };

/// How much a browser told us about the page behind a capture.
enum class BrowserDeepCaptureStatus { notAvailable, metadataAvailable, metadataUnavailable, extensionUnavailable };

template <> struct EnumTraits<ClipboardContentKind> {
    static constexpr std::array<std::pair<ClipboardContentKind, std::string_view>, 4> names{{
        {ClipboardContentKind::plainText, "plainText"},
        {ClipboardContentKind::link, "link"},
        {ClipboardContentKind::codeSnippet, "codeSnippet"},
        {ClipboardContentKind::image, "image"},
    }};
};

template <> struct EnumTraits<VisualMemoryContextKind> {
    static constexpr std::array<std::pair<VisualMemoryContextKind, std::string_view>, 1> names{{
        {VisualMemoryContextKind::appshot, "appshot"},
    }};
};

template <> struct EnumTraits<BrowserDeepCaptureStatus> {
    static constexpr std::array<std::pair<BrowserDeepCaptureStatus, std::string_view>, 4> names{{
        {BrowserDeepCaptureStatus::notAvailable, "notAvailable"},
        {BrowserDeepCaptureStatus::metadataAvailable, "metadataAvailable"},
        {BrowserDeepCaptureStatus::metadataUnavailable, "metadataUnavailable"},
        {BrowserDeepCaptureStatus::extensionUnavailable, "extensionUnavailable"},
    }};
};

} // namespace brisklet
