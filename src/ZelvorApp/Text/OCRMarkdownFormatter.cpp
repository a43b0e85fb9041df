#include "ZelvorApp/Text/OCRMarkdownFormatter.h"

#include "ZelvorApp/Text/UnicodeText.h"

#include <algorithm>
#include <set>

namespace brisklet {

namespace {

constexpr std::size_t headingLengthLimit = 49;
constexpr double compactLineSpan = 22;
constexpr double lineSpanFactor = 1.15;

struct Entry {
    std::string text;
    Rect bounds;
};

std::vector<Entry> makeEntries(const std::vector<RecognizedTextLine>& lines) {
    std::vector<Entry> entries;
    for (const auto& line : lines) {
        std::string text = unicode::collapsedWhitespace(line.text);
        if (!text.empty()) {
            entries.push_back({std::move(text), line.bounds});
        }
    }
    return entries;
}

bool startsNewParagraph(const Entry& previous, const Entry& current) {
    const double gap = previous.bounds.minY() - current.bounds.maxY();
    const double lineSpan = std::max(previous.bounds.height(), current.bounds.height()) * lineSpanFactor;
    return lineSpan <= compactLineSpan ? gap > compactLineSpan : gap > lineSpan;
}

// The open paragraph and list while walking the entries; closing one emits it when non-empty.
class BlockBuilder {
public:
    void closeParagraph() {
        if (!paragraph_.empty()) {
            blocks_.push_back(OCRMarkdownFormatter::Paragraph{std::move(paragraph_)});
            paragraph_.clear();
        }
    }
    void closeList() {
        if (!list_.empty()) {
            blocks_.push_back(OCRMarkdownFormatter::List{std::move(list_)});
            list_.clear();
        }
    }
    void addHeading(std::string text) {
        closeParagraph();
        closeList();
        blocks_.push_back(OCRMarkdownFormatter::Heading{std::move(text)});
    }
    void addBullet(std::string item) {
        closeParagraph();
        list_.push_back(std::move(item));
    }
    void addPlain(const Entry& entry, const Entry* previous) {
        closeList();
        if (previous && startsNewParagraph(*previous, entry)) {
            closeParagraph();
        }
        paragraph_.push_back(entry.text);
    }
    std::vector<OCRMarkdownFormatter::Block> finish() {
        closeParagraph();
        closeList();
        return std::move(blocks_);
    }

private:
    std::vector<OCRMarkdownFormatter::Block> blocks_;
    std::vector<std::string> paragraph_;
    std::vector<std::string> list_;
};

} // namespace

std::optional<std::string> OCRMarkdownFormatter::headingText(std::string_view text) {
    const std::string_view trimmedText = unicode::trimmed(text);
    if (unicode::characterCount(trimmedText) >= headingLengthLimit) {
        return std::nullopt;
    }
    const char32_t last = unicode::lastScalar(trimmedText);
    std::size_t colonBytes = 0;
    if (last == U':') {
        colonBytes = 1;
    } else if (last == U'\uFF1A') {
        colonBytes = 3;
    } else {
        return std::nullopt;
    }
    const std::string_view heading = unicode::trimmed(trimmedText.substr(0, trimmedText.size() - colonBytes));
    if (heading.empty()) {
        return std::nullopt;
    }
    return std::string(heading);
}

std::optional<std::string> OCRMarkdownFormatter::bulletText(std::string_view text) {
    const std::string_view trimmedText = unicode::trimmed(text);
    for (const std::string_view prefix :
         {std::string_view("- "), std::string_view("\u2022 "), std::string_view("* ")}) {
        if (trimmedText.starts_with(prefix)) {
            const std::string_view rest = unicode::trimmed(trimmedText.substr(prefix.size()));
            if (rest.empty()) {
                return std::nullopt;
            }
            return "- " + std::string(rest);
        }
    }
    return std::nullopt;
}

std::string OCRMarkdownFormatter::joinedParagraph(const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return {};
    }
    std::string joined = lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& next = lines[i];
        const bool ideographsMeet =
            unicode::isCJK(unicode::lastScalar(joined)) && unicode::isCJK(unicode::firstScalar(next));
        if (!ideographsMeet) {
            joined += ' ';
        }
        joined += next;
    }
    return joined;
}

std::vector<OCRMarkdownFormatter::Block> OCRMarkdownFormatter::blocks(const std::vector<RecognizedTextLine>& lines) {
    const std::vector<Entry> entries = makeEntries(lines);
    std::set<std::string> seen;
    BlockBuilder builder;
    const Entry* previous = nullptr;
    for (const auto& entry : entries) {
        if (!seen.insert(unicode::toLower(entry.text)).second) {
            continue;
        }
        if (auto heading = headingText(entry.text)) {
            builder.addHeading(std::move(*heading));
        } else if (auto bullet = bulletText(entry.text)) {
            builder.addBullet(std::move(*bullet));
        } else {
            builder.addPlain(entry, previous);
        }
        previous = &entry;
    }
    return builder.finish();
}

std::string OCRMarkdownFormatter::render(const std::vector<Block>& blocks) {
    std::string document;
    for (const auto& block : blocks) {
        std::string rendered;
        if (const auto* heading = std::get_if<Heading>(&block)) {
            rendered = "## " + heading->text;
        } else if (const auto* list = std::get_if<List>(&block)) {
            for (std::size_t i = 0; i < list->items.size(); ++i) {
                rendered += (i == 0 ? "" : "\n") + list->items[i];
            }
        } else {
            rendered = joinedParagraph(std::get<Paragraph>(block).lines);
        }
        if (rendered.empty()) {
            continue;
        }
        if (!document.empty()) {
            document += "\n\n";
        }
        document += rendered;
    }
    return document;
}

std::string OCRMarkdownFormatter::markdown(const std::vector<RecognizedTextLine>& lines) {
    return render(blocks(lines));
}

} // namespace brisklet
