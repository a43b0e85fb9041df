#include "ZelvorApp/Memory/VisualMemorySummaryTagger.h"

#include "ZelvorApp/Memory/ClipboardTextClassifier.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace brisklet {

namespace {

namespace text = memorytext;

constexpr std::size_t summaryLength = 86;
constexpr std::size_t maximumTags = 8;

struct KeywordGroup {
    std::string_view tag;
    std::vector<std::string_view> keywords;
};

const std::vector<KeywordGroup>& keywordGroups() {
    static const std::vector<KeywordGroup> groups{
        {"code",
         {"github", "cursor", "xcode", "vscode", "terminal", "swift", "function", "class ", "struct ", "import "}},
        {"error", {"error", "failed", "exception", "timeout", "crash", "失败", "错误", "异常"}},
        {"design", {"figma", "sketch", "design", "prototype", "wireframe", "layout", "ui", "ux"}},
        {"dashboard", {"dashboard", "analytics", "metric", "chart", "report", "grafana", "stripe"}},
        {"ai", {"chatgpt", "openai", "claude", "cursor", "prompt", "agent"}},
        {"payment", {"stripe", "payment", "checkout", "invoice", "billing", "webhook"}},
        {"backend", {"api", "server", "database", "postgres", "redis", "webhook", "backend"}},
        {"pricing", {"pricing", "price", "plan", "subscription", "upgrade"}},
        {"research", {"docs", "documentation", "paper", "research", "article", "论文"}},
    };
    return groups;
}

constexpr std::array<std::string_view, 14> relativeTimeMarkers{
    "分钟前",    "小时前",   "天前",     "秒前",    "just now", "minutes ago", "minute ago",
    "hours ago", "hour ago", "days ago", "day ago", "分前",     "時間前",      "日前",
};

constexpr std::array<std::string_view, 20> interfaceWords{
    "ok",   "cancel", "copy", "save", "delete",     "open",   "done", "确定", "取消", "复制",
    "保存", "删除",   "打开", "完成", "キャンセル", "コピー", "保存", "削除", "開く", "完了",
};

bool isSentenceBreak(char32_t s) {
    return s == U'.' || s == U'。' || s == U'!' || s == U'?' || s == U'！' || s == U'？' || s == U'\n';
}

std::vector<std::string> sentenceSegments(std::string_view value) {
    std::vector<std::string> segments;
    std::string current;
    for (const char32_t s : text::decodeUtf8(value)) {
        if (isSentenceBreak(s)) {
            segments.push_back(text::normalizedText(current));
            current.clear();
        } else {
            text::appendUtf8(current, s);
        }
    }
    segments.push_back(text::normalizedText(current));
    return segments;
}

bool isUsableSegment(const std::string& segment, const std::vector<std::string>& excluded) {
    const std::string lower = text::lowercased(segment);
    if (std::find(excluded.begin(), excluded.end(), lower) != excluded.end() || text::startsWith(segment, "#")) {
        return false;
    }
    if (std::any_of(relativeTimeMarkers.begin(), relativeTimeMarkers.end(),
                    [&](std::string_view marker) { return text::contains(lower, marker); })) {
        return false;
    }
    const std::size_t length = text::characterCount(segment);
    if (length < 9 && std::find(interfaceWords.begin(), interfaceWords.end(), lower) != interfaceWords.end()) {
        return false;
    }
    return length >= 8 || (text::containsCJK(segment) && length >= 4);
}

std::string withoutExtension(std::string_view fileName) {
    return std::filesystem::path(std::string(fileName)).replace_extension().string();
}

std::optional<std::string> clipboardTextSummary(std::string_view ocrText, const std::vector<std::string>& excluded,
                                                bool& uncut) {
    const std::string trimmed = text::trimmed(ocrText);
    switch (ClipboardTextClassifier::classify(trimmed)) {
    case ClipboardContentKind::plainText:
        return VisualMemorySummaryTagger::bestContentLine(trimmed, excluded);
    case ClipboardContentKind::codeSnippet: {
        std::size_t start = 0;
        while (start <= trimmed.size()) {
            const auto end = trimmed.find('\n', start);
            std::string line = text::normalizedText(std::string_view(trimmed).substr(start, end - start));
            if (!line.empty()) {
                return line;
            }
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        return std::nullopt;
    }
    case ClipboardContentKind::link: {
        const auto url = ClipboardTextClassifier::primaryURL(trimmed);
        if (!url) {
            return std::nullopt;
        }
        uncut = true;
        return url->host && !url->host->empty() ? *url->host : url->absoluteString;
    }
    case ClipboardContentKind::image:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> VisualMemorySummaryTagger::bestContentLine(std::string_view value,
                                                                      const std::vector<std::string>& excluding) {
    std::vector<std::string> excluded;
    for (const auto& name : excluding) {
        std::string folded = text::lowercased(text::normalizedText(name));
        if (!folded.empty()) {
            excluded.push_back(std::move(folded));
        }
    }
    for (auto& segment : sentenceSegments(value)) {
        if (!segment.empty() && isUsableSegment(segment, excluded)) {
            return std::move(segment);
        }
    }
    return std::nullopt;
}

std::optional<std::string> VisualMemorySummaryTagger::usefulSourceTitle(std::string_view title,
                                                                        std::string_view appName) {
    if (title.empty()) {
        return std::nullopt;
    }
    if (appName.empty()) {
        return std::string(title);
    }
    if (text::equalsIgnoringCase(title, appName)) {
        return std::nullopt;
    }
    return std::string(title);
}

std::optional<std::string> VisualMemorySummaryTagger::usefulFileTitle(std::string_view name) {
    std::string normalized = text::normalizedText(name);
    if (normalized.empty()) {
        return std::nullopt;
    }
    const std::string lower = text::lowercased(normalized);
    for (const std::string_view generated : {"screenshot ", "screen shot ", "clipboard image", "clipboard text"}) {
        if (text::startsWith(lower, generated)) {
            return std::nullopt;
        }
    }
    return normalized;
}

std::string VisualMemorySummaryTagger::fallbackSummary(ExportKind kind) {
    switch (kind) {
    case ExportKind::screenshot:
        return "Screenshot";
    case ExportKind::appshot:
        return "Appshot";
    case ExportKind::longshot:
        return "Long screenshot";
    case ExportKind::gif:
        return "GIF recording";
    case ExportKind::clipboardText:
        return "Copied text";
    case ExportKind::clipboardImage:
        return "Copied image";
    case ExportKind::videoMP4:
        return "MP4 video recording";
    case ExportKind::videoMOV:
        return "MOV video recording";
    }
    return "Screenshot";
}

std::string VisualMemorySummaryTagger::makeSummary(std::string_view fileName, std::string_view ocrText,
                                                   const VisualMemorySource& source, ExportKind kind) {
    const std::string appName = text::normalizedText(source.appName.value_or(""));
    const std::string windowTitle = text::normalizedText(source.windowTitle.value_or(""));
    const std::vector<std::string> excluded{appName, windowTitle};
    if (kind == ExportKind::clipboardText) {
        bool uncut = false;
        if (auto summary = clipboardTextSummary(ocrText, excluded, uncut)) {
            return uncut ? *summary : text::prefixCharacters(*summary, summaryLength);
        }
    }
    std::string fileTitle = withoutExtension(fileName);
    std::replace(fileTitle.begin(), fileTitle.end(), '_', ' ');
    std::replace(fileTitle.begin(), fileTitle.end(), '-', ' ');
    for (auto candidate :
         {bestContentLine(ocrText, excluded), usefulSourceTitle(windowTitle, appName), usefulFileTitle(fileTitle)}) {
        if (candidate && !candidate->empty()) {
            return text::prefixCharacters(*candidate, summaryLength);
        }
    }
    return text::prefixCharacters(fallbackSummary(kind), summaryLength);
}

std::vector<std::string> VisualMemorySummaryTagger::makeTags(std::string_view fileName, std::string_view ocrText,
                                                             const VisualMemorySource& source, ExportKind kind) {
    const std::string appName = source.appName.value_or("");
    const std::string searchText =
        text::lowercased(std::string(fileName) + " " + std::string(ocrText) + " " + appName + " " +
                         source.windowTitle.value_or("") + " " + source.url.value_or(""));
    std::vector<std::string> tags;
    for (const auto& group : keywordGroups()) {
        if (std::any_of(group.keywords.begin(), group.keywords.end(),
                        [&](std::string_view keyword) { return text::contains(searchText, keyword); })) {
            tags.emplace_back(group.tag);
        }
    }
    if (kind == ExportKind::clipboardText) {
        const auto contentKind = ClipboardTextClassifier::classify(ocrText);
        if (contentKind == ClipboardContentKind::link) {
            tags.emplace_back("link");
        } else if (contentKind == ClipboardContentKind::codeSnippet) {
            tags.emplace_back("code");
            tags.emplace_back("snippet");
        }
    }
    if (!appName.empty()) {
        tags.push_back(text::replacingAll(text::lowercased(appName), " ", "-"));
    }
    switch (kind) {
    case ExportKind::screenshot:
        tags.emplace_back("screenshot");
        break;
    case ExportKind::appshot:
        tags.insert(tags.end(), {"appshot", "context"});
        break;
    case ExportKind::longshot:
        tags.emplace_back("longshot");
        break;
    case ExportKind::gif:
        tags.emplace_back("gif");
        break;
    case ExportKind::videoMP4:
    case ExportKind::videoMOV:
        tags.insert(tags.end(), {"video", "recording"});
        break;
    case ExportKind::clipboardText:
        tags.insert(tags.end(), {"clipboard", "text"});
        break;
    case ExportKind::clipboardImage:
        tags.insert(tags.end(), {"clipboard", "image"});
        break;
    }
    std::vector<std::string> unique;
    for (auto& tag : tags) {
        if (std::find(unique.begin(), unique.end(), tag) == unique.end()) {
            unique.push_back(std::move(tag));
        }
    }
    if (unique.size() > maximumTags) {
        unique.resize(maximumTags);
    }
    return unique;
}

} // namespace brisklet
