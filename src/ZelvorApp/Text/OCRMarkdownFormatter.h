#pragma once

#include "ZelvorApp/Text/RecognizedTextLine.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brisklet {

/// Turns cleaned, ordered lines into Markdown: short lines ending in a colon become level-2
/// headings, "-", "•" and "*" lines become a list, and the rest are grouped into paragraphs by
/// the vertical gaps between lines. Pure and thread-safe.
class OCRMarkdownFormatter {
public:
    OCRMarkdownFormatter() = delete;

    struct Heading {
        std::string text;
        bool operator==(const Heading&) const = default;
    };
    struct Paragraph {
        std::vector<std::string> lines;
        bool operator==(const Paragraph&) const = default;
    };
    struct List {
        std::vector<std::string> items;
        bool operator==(const List&) const = default;
    };
    using Block = std::variant<Heading, Paragraph, List>;

    /// The whole document; empty when no line survives.
    static std::string markdown(const std::vector<RecognizedTextLine>& lines);

    static std::vector<Block> blocks(const std::vector<RecognizedTextLine>& lines);
    static std::string render(const std::vector<Block>& blocks);
    /// The heading text of a short line ending in ":" or "：", if it is one.
    static std::optional<std::string> headingText(std::string_view text);
    /// "- " + the item text of a bullet line, if it is one.
    static std::optional<std::string> bulletText(std::string_view text);
    /// Lines joined with one space, or with nothing where two ideographs meet.
    static std::string joinedParagraph(const std::vector<std::string>& lines);
};

} // namespace brisklet
