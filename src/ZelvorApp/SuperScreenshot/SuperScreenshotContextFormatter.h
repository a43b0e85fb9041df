#pragma once

#include "ZelvorApp/SuperScreenshot/SuperScreenshotSource.h"
#include "ZelvorCore/Models/BrowserCaptureMetadata.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// The Markdown context document of a knowledge package: the title, where the capture came
/// from, the prose of the window's accessibility text as main text, its short labels as UI text,
/// and whatever only text recognition found. Pure and thread-safe.
class SuperScreenshotContextFormatter {
public:
    SuperScreenshotContextFormatter() = delete;

    struct Heading {
        std::string title;
        std::optional<std::string> remainder;
        bool operator==(const Heading&) const = default;
    };

    /// Blocks joined with blank lines: "# title", "## Source", "## Main Text", "## UI Text",
    /// "## OCR Fallback"; sections without lines are left out.
    static std::string format(std::string_view title, const SuperScreenshotSource& source, std::string_view ocrText,
                              std::string_view accessibilityText,
                              const std::optional<BrowserCaptureMetadata>& browserMetadata);

    /// Whitespace collapsed, then list marks ("-", "•", "·", "*") and spaces stripped at both ends.
    static std::string normalizedLine(std::string_view line);
    /// The normalised lines of `text` with at least two characters and a letter or digit, each
    /// comparison key once.
    static std::vector<std::string> readableLines(std::string_view text);
    /// Folded ignoring case, accents and width, whitespace collapsed: lines that read the same
    /// compare equal.
    static std::string comparisonKey(std::string_view line);
    /// Reads like prose or a heading rather than a button or label.
    static bool isMainText(std::string_view line);
    /// "Title:" (no remainder) or a short "Key: value" line; nothing for other lines.
    static std::optional<Heading> markdownHeading(std::string_view line);

    /// The prose lines of the accessibility text, with the short values that follow a
    /// "Key: value" heading.
    static std::vector<std::string> mainTextLines(const std::vector<std::string>& accessibilityLines,
                                                  std::string_view title);
    /// The remaining accessibility lines: labels that are not prose and not in the main text.
    static std::vector<std::string> uiTextLines(const std::vector<std::string>& accessibilityLines,
                                                const std::vector<std::string>& mainLines, std::string_view title);
    /// Recognised lines the accessibility text does not have.
    static std::vector<std::string> ocrFallbackLines(const std::vector<std::string>& ocrLines,
                                                     const std::vector<std::string>& accessibilityLines,
                                                     const std::vector<std::string>& mainLines,
                                                     const std::vector<std::string>& uiLines, std::string_view title);
    /// Headings as "### ", their key-value continuations as lists, other lines as paragraphs
    /// (joined without a space where two CJK characters meet).
    static std::string markdownMainText(const std::vector<std::string>& lines);
};

} // namespace brisklet
