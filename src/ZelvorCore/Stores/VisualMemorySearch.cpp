#include "ZelvorCore/Stores/VisualMemorySearch.h"

#include "ZelvorCore/Models/VisualMemoryText.h"

#include <algorithm>
#include <array>

namespace brisklet {

namespace {

namespace text = memorytext;

void appendField(std::string& out, std::string_view field) {
    out.append(field);
    out.push_back(' ');
}

// Builds the joined fields into `raw` (reused between items so a search over a large library
// does not allocate per item).
void buildSearchText(const VisualMemoryItem& item, const std::vector<std::string>& visibleTags, std::string& raw) {
    raw.clear();
    appendField(raw, item.summary);
    appendField(raw, item.ocrText);
    appendField(raw, item.contextText);
    appendField(raw, item.url.filename().string());
    appendField(raw, item.sourceURL.value_or(""));
    appendField(raw, item.sourceApp.value_or(""));
    appendField(raw, item.sourceWindow.value_or(""));
    appendField(raw, item.contextKind ? "appshot" : "");
    appendField(raw, item.browserDeepCaptureStatus ? toString(*item.browserDeepCaptureStatus) : "");
    for (std::size_t i = 0; i < visibleTags.size(); ++i) {
        if (i > 0) {
            raw.push_back(' ');
        }
        raw.append(visibleTags[i]);
    }
}

// A query of ASCII characters can only match ASCII text (no other letter lower-cases into
// ASCII), so it is looked for in the raw text with a case-blind Horspool search instead of
// lower-casing every item's text for every keystroke.
class QueryMatcher {
public:
    explicit QueryMatcher(std::string needle) : needle_(std::move(needle)) {
        ascii_ =
            std::all_of(needle_.begin(), needle_.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        skip_.fill(needle_.size());
        for (std::size_t i = 0; i + 1 < needle_.size(); ++i) {
            const auto c = static_cast<unsigned char>(needle_[i]);
            skip_[c] = needle_.size() - 1 - i;
            skip_[upper(c)] = needle_.size() - 1 - i;
        }
    }

    bool matches(std::string_view haystack, std::string& scratch) const {
        if (!ascii_) {
            text::lowercaseInto(haystack, scratch);
            return scratch.find(needle_) != std::string::npos;
        }
        const std::size_t n = needle_.size();
        if (haystack.size() < n) {
            return false;
        }
        std::size_t at = 0;
        while (at + n <= haystack.size()) {
            std::size_t j = n - 1;
            while (lower(static_cast<unsigned char>(haystack[at + j])) == static_cast<unsigned char>(needle_[j])) {
                if (j == 0) {
                    return true;
                }
                --j;
            }
            at += skip_[static_cast<unsigned char>(haystack[at + n - 1])];
        }
        return false;
    }

private:
    static unsigned char lower(unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
    }
    static unsigned char upper(unsigned char c) {
        return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
    }

    std::string needle_;
    bool ascii_ = true;
    std::array<std::size_t, 256> skip_{};
};

// The item's visible tags; its own `tags` when nothing is hidden or added and they are already
// in normal form (the usual case), so most items cost no copy.
const std::vector<std::string>& visibleTagsOf(const VisualMemoryItem& item, std::vector<std::string>& storage) {
    if (item.removedAutoTags.empty() && item.manualTags.empty()) {
        bool clean = true;
        for (std::size_t i = 0; clean && i < item.tags.size(); ++i) {
            const std::string& tag = item.tags[i];
            clean = !tag.empty() && normalizedTag(tag) == tag &&
                    std::find(item.tags.begin(), item.tags.begin() + static_cast<std::ptrdiff_t>(i), tag) ==
                        item.tags.begin() + static_cast<std::ptrdiff_t>(i);
        }
        if (clean) {
            return item.tags;
        }
    }
    storage = item.visibleTags();
    return storage;
}

bool inCollection(const VisualMemoryItem& item, const std::vector<std::string>& visibleTags,
                  std::string_view collection) {
    if (std::any_of(visibleTags.begin(), visibleTags.end(),
                    [&](const std::string& tag) { return text::equalsIgnoringCase(tag, collection); })) {
        return true;
    }
    if (item.sourceApp && text::equalsIgnoringCase(*item.sourceApp, collection)) {
        return true;
    }
    return (collection == "Favorites" && item.isFavorite) || (collection == "Pinned" && item.isPinned) ||
           (collection == "Untagged" && visibleTags.empty());
}

} // namespace

bool VisualMemorySearch::isInCollection(const VisualMemoryItem& item, std::string_view collection) {
    return inCollection(item, item.visibleTags(), collection);
}

std::string VisualMemorySearch::searchText(const VisualMemoryItem& item) {
    std::string raw;
    buildSearchText(item, item.visibleTags(), raw);
    return text::lowercased(raw);
}

std::vector<VisualMemoryItem> VisualMemorySearch::filter(const std::vector<VisualMemoryItem>& items,
                                                         std::string_view query,
                                                         const std::optional<std::string>& collection) {
    const QueryMatcher matcher(text::lowercased(text::trimmed(query)));
    const bool hasQuery = !text::trimmed(query).empty();
    const std::string wanted = collection ? text::trimmed(*collection) : std::string();
    std::vector<VisualMemoryItem> matches;
    std::string raw;
    std::string scratch;
    std::vector<std::string> tagStorage;
    for (const auto& item : items) {
        if (!hasQuery && wanted.empty()) {
            matches.push_back(item);
            continue;
        }
        const std::vector<std::string>& tags = visibleTagsOf(item, tagStorage);
        if (!wanted.empty() && !inCollection(item, tags, wanted)) {
            continue;
        }
        if (hasQuery) {
            buildSearchText(item, tags, raw);
            if (!matcher.matches(raw, scratch)) {
                continue;
            }
        }
        matches.push_back(item);
    }
    return matches;
}

} // namespace brisklet
