#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextFormatter.h"

#include "ZelvorApp/SuperScreenshot/TextFolding.h"
#include "ZelvorApp/Text/OCRMarkdownFormatter.h"
#include "ZelvorApp/Text/UnicodeText.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <unordered_set>

namespace brisklet {

namespace text = memorytext;

namespace {

using Lines = std::vector<std::string>;
using Keys = std::unordered_set<std::string>;

constexpr std::size_t proseCharacters = 40;
constexpr std::size_t proseWords = 3;
constexpr std::size_t proseLetters = 11;
constexpr std::size_t shortValueCharacters = 32;
constexpr std::size_t shortValueWords = 4;
constexpr std::size_t headingKeyCharacters = 25;

bool isListMark(char32_t s) {
    return s == '-' || s == 0x2022 || s == 0x00B7 || s == '*' || s == ' ';
}

bool isLineBreak(char32_t s) {
    return s == '\n' || s == '\r' || s == 0x0B || s == 0x0C || s == 0x85 || s == 0x2028 || s == 0x2029;
}

std::size_t wordCount(std::string_view line) {
    std::size_t count = 0;
    bool inWord = false;
    for (const char c : line) {
        if (c == ' ') {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            ++count;
        }
    }
    return count;
}

bool isShortValue(std::string_view line) {
    return text::characterCount(line) <= shortValueCharacters && wordCount(line) < shortValueWords;
}

bool endsWithColon(std::string_view line) {
    return line.ends_with(":") || line.ends_with("\uFF1A");
}

std::size_t letterCount(std::string_view line) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < line.size();) {
        const char32_t scalar = utf8::nextScalar(line, i);
        if (unicode::isAlphanumeric(scalar) || unicode::isCJK(scalar)) {
            ++count;
        }
    }
    return count;
}

bool hasAlphanumeric(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        if (unicode::isAlphanumeric(utf8::nextScalar(line, i))) {
            return true;
        }
    }
    return false;
}

Keys keysOf(const Lines& lines) {
    Keys keys;
    for (const auto& line : lines) {
        keys.insert(SuperScreenshotContextFormatter::comparisonKey(line));
    }
    return keys;
}

std::string bulletList(const Lines& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += (out.empty() ? "- " : "\n- ") + line;
    }
    return out;
}

std::string joinedBlocks(const Lines& blocks) {
    std::string out;
    for (const auto& block : blocks) {
        if (!out.empty()) {
            out += "\n\n";
        }
        out += block;
    }
    return out;
}

// The open paragraph and list of `markdownMainText`; a block is emitted when it is closed.
class MainTextBuilder {
public:
    void heading(const SuperScreenshotContextFormatter::Heading& heading) {
        closeParagraph();
        closeList();
        blocks_.push_back("### " + heading.title);
        if (heading.remainder) {
            list_.push_back("- " + *heading.remainder);
        }
    }
    void listItem(const std::string& line) {
        closeParagraph();
        list_.push_back("- " + line);
    }
    void paragraphLine(const std::string& line) {
        closeList();
        paragraph_.push_back(line);
    }
    std::string finish() {
        closeParagraph();
        closeList();
        return joinedBlocks(blocks_);
    }

private:
    void closeParagraph() {
        if (!paragraph_.empty()) {
            blocks_.push_back(OCRMarkdownFormatter::joinedParagraph(paragraph_));
            paragraph_.clear();
        }
    }
    void closeList() {
        if (!list_.empty()) {
            std::string items;
            for (const auto& item : list_) {
                items += (items.empty() ? "" : "\n") + item;
            }
            blocks_.push_back(std::move(items));
            list_.clear();
        }
    }

    Lines blocks_;
    Lines paragraph_;
    Lines list_;
};

std::string sourceSection(std::string_view title, const SuperScreenshotSource& source,
                          const std::optional<BrowserCaptureMetadata>& browserMetadata) {
    Lines lines;
    const std::optional<std::string> pageURL = browserMetadata ? browserMetadata->url : std::nullopt;
    if (const auto& url = pageURL ? pageURL : source.sourceURL) {
        lines.push_back("- URL: " + *url);
    }
    if (browserMetadata && browserMetadata->title) {
        const std::string pageTitle = SuperScreenshotContextFormatter::normalizedLine(*browserMetadata->title);
        if (!pageTitle.empty() && SuperScreenshotContextFormatter::comparisonKey(pageTitle) !=
                                      SuperScreenshotContextFormatter::comparisonKey(title)) {
            lines.push_back("- Page Title: " + pageTitle);
        }
    }
    if (lines.empty()) {
        return {};
    }
    std::string out = "## Source\n\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += (i == 0 ? "" : "\n") + lines[i];
    }
    return out;
}

} // namespace

std::string SuperScreenshotContextFormatter::normalizedLine(std::string_view line) {
    const std::u32string scalars = utf8::decodeUtf8(text::normalizedText(line));
    std::size_t begin = 0;
    std::size_t end = scalars.size();
    while (begin < end && isListMark(scalars[begin])) {
        ++begin;
    }
    while (end > begin && isListMark(scalars[end - 1])) {
        --end;
    }
    return utf8::encodeUtf8(std::u32string_view(scalars).substr(begin, end - begin));
}

std::vector<std::string> SuperScreenshotContextFormatter::readableLines(std::string_view textBlock) {
    Lines lines;
    Keys seen;
    std::size_t lineStart = 0;
    for (std::size_t i = 0;;) {
        const std::size_t scalarStart = i;
        const bool atEnd = i >= textBlock.size();
        if (!atEnd && !isLineBreak(utf8::nextScalar(textBlock, i))) {
            continue;
        }
        std::string line = normalizedLine(textBlock.substr(lineStart, scalarStart - lineStart));
        if (text::characterCount(line) > 1 && hasAlphanumeric(line) && seen.insert(comparisonKey(line)).second) {
            lines.push_back(std::move(line));
        }
        if (atEnd) {
            break;
        }
        lineStart = i;
    }
    return lines;
}

std::string SuperScreenshotContextFormatter::comparisonKey(std::string_view line) {
    return text::lowercased(text::normalizedText(textfolding::foldedForComparison(line)));
}

bool SuperScreenshotContextFormatter::isMainText(std::string_view line) {
    return text::characterCount(line) > proseCharacters || wordCount(line) > proseWords ||
           letterCount(line) > proseLetters || endsWithColon(line) || markdownHeading(line).has_value();
}

std::optional<SuperScreenshotContextFormatter::Heading>
SuperScreenshotContextFormatter::markdownHeading(std::string_view line) {
    if (endsWithColon(line)) {
        const std::string_view withoutColon =
            line.ends_with(":") ? line.substr(0, line.size() - 1) : line.substr(0, line.size() - 3);
        const std::string_view headingTitle = unicode::trimmed(withoutColon);
        if (headingTitle.empty()) {
            return std::nullopt;
        }
        return Heading{std::string(headingTitle), std::nullopt};
    }
    std::size_t colon = line.find("\uFF1A");
    std::size_t colonLength = 3;
    if (colon == std::string_view::npos) {
        colon = line.find(':');
        colonLength = 1;
    }
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view head = unicode::trimmed(line.substr(0, colon));
    const std::string_view rest = unicode::trimmed(line.substr(colon + colonLength));
    if (head.empty() || text::characterCount(head) >= headingKeyCharacters || rest.empty()) {
        return std::nullopt;
    }
    return Heading{std::string(head), std::string(rest)};
}

std::vector<std::string> SuperScreenshotContextFormatter::mainTextLines(const Lines& accessibilityLines,
                                                                        std::string_view title) {
    const std::string titleKey = comparisonKey(title);
    Lines taken;
    Keys keys;
    // On after a "Key: value" heading: the short lines that follow are its values.
    bool continuation = false;
    for (const auto& line : accessibilityLines) {
        const std::string key = comparisonKey(line);
        if (key == titleKey) {
            continue;
        }
        if (isMainText(line)) {
            if (!keys.insert(key).second) {
                continue;
            }
            taken.push_back(line);
            const auto heading = markdownHeading(line);
            continuation = heading && heading->remainder;
        } else if (continuation && isShortValue(line)) {
            if (keys.insert(key).second) {
                taken.push_back(line);
            }
        } else {
            continuation = false;
        }
    }
    return taken;
}

std::vector<std::string> SuperScreenshotContextFormatter::uiTextLines(const Lines& accessibilityLines,
                                                                      const Lines& mainLines, std::string_view title) {
    const std::string titleKey = comparisonKey(title);
    Keys excluded = keysOf(mainLines);
    excluded.insert(titleKey);
    Lines taken;
    for (const auto& line : accessibilityLines) {
        if (isMainText(line)) {
            continue;
        }
        if (excluded.insert(comparisonKey(line)).second) {
            taken.push_back(line);
        }
    }
    return taken;
}

std::vector<std::string> SuperScreenshotContextFormatter::ocrFallbackLines(const Lines& ocrLines,
                                                                           const Lines& accessibilityLines,
                                                                           const Lines& mainLines, const Lines& uiLines,
                                                                           std::string_view title) {
    Keys excluded = keysOf(accessibilityLines);
    excluded.merge(keysOf(mainLines));
    excluded.merge(keysOf(uiLines));
    excluded.insert(comparisonKey(title));
    Lines taken;
    for (const auto& line : ocrLines) {
        if (excluded.insert(comparisonKey(line)).second) {
            taken.push_back(line);
        }
    }
    return taken;
}

std::string SuperScreenshotContextFormatter::markdownMainText(const Lines& lines) {
    MainTextBuilder builder;
    // On after a "Key: value" heading, as in `mainTextLines`.
    bool keyValue = false;
    for (const auto& line : lines) {
        if (const auto heading = markdownHeading(line)) {
            builder.heading(*heading);
            keyValue = heading->remainder.has_value();
        } else if (keyValue && isShortValue(line)) {
            builder.listItem(line);
        } else {
            builder.paragraphLine(line);
            keyValue = false;
        }
    }
    return builder.finish();
}

std::string SuperScreenshotContextFormatter::format(std::string_view title, const SuperScreenshotSource& source,
                                                    std::string_view ocrText, std::string_view accessibilityText,
                                                    const std::optional<BrowserCaptureMetadata>& browserMetadata) {
    Lines blocks{"# " + std::string(title)};
    if (std::string section = sourceSection(title, source, browserMetadata); !section.empty()) {
        blocks.push_back(std::move(section));
    }
    const Lines accessibilityLines = readableLines(accessibilityText);
    const Lines ocrLines = readableLines(ocrText);
    const Lines mainLines = mainTextLines(accessibilityLines, title);
    const Lines uiLines = uiTextLines(accessibilityLines, mainLines, title);
    const Lines ocrOnlyLines = ocrFallbackLines(ocrLines, accessibilityLines, mainLines, uiLines, title);
    if (!mainLines.empty()) {
        blocks.push_back("## Main Text\n\n" + markdownMainText(mainLines));
    }
    if (!uiLines.empty()) {
        blocks.push_back("## UI Text\n\n" + bulletList(uiLines));
    }
    if (!ocrOnlyLines.empty()) {
        blocks.push_back("## OCR Fallback\n\n" + markdownMainText(ocrOnlyLines));
    }
    return joinedBlocks(blocks);
}

} // namespace brisklet
