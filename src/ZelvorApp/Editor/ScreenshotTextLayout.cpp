#include "ZelvorApp/Editor/ScreenshotTextLayout.h"

#include "Platform/AnnotationRenderer.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

std::vector<std::string_view> splitParagraphs(std::string_view text) {
    std::vector<std::string_view> paragraphs;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            std::string_view paragraph = text.substr(start, i - start);
            if (!paragraph.empty() && paragraph.back() == '\r') {
                paragraph.remove_suffix(1);
            }
            paragraphs.push_back(paragraph);
            start = i + 1;
        }
    }
    return paragraphs;
}

std::string_view trimmedRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

class LineWrapper {
public:
    LineWrapper(const TextMeasurer& measurer, double fontSize, double width)
        : measurer_(measurer), fontSize_(fontSize), width_(width) {}

    void wrap(std::string_view paragraph, std::vector<std::string>& lines) const {
        std::string current;
        std::size_t i = 0;
        while (i < paragraph.size()) {
            // One token: a word and the spaces after it, so spaces stay with the line they end.
            std::size_t end = i;
            while (end < paragraph.size() && paragraph[end] != ' ') {
                ++end;
            }
            while (end < paragraph.size() && paragraph[end] == ' ') {
                ++end;
            }
            const std::string_view token = paragraph.substr(i, end - i);
            i = end;
            if (fits(current + std::string(token))) {
                current += token;
                continue;
            }
            if (!current.empty()) {
                lines.push_back(std::string(trimmedRight(current)));
                current.clear();
            }
            if (fits(std::string(token))) {
                current = std::string(token);
            } else {
                current = breakLongWord(token, lines);
            }
        }
        lines.push_back(std::string(trimmedRight(current)));
    }

private:
    bool fits(const std::string& candidate) const {
        return measurer_.lineWidth(trimmedRight(candidate), fontSize_) <= width_;
    }

    /// Emits full lines of a word wider than the box and returns the remainder.
    std::string breakLongWord(std::string_view word, std::vector<std::string>& lines) const {
        std::string current;
        std::size_t i = 0;
        while (i < word.size()) {
            std::size_t next = i + 1;
            while (next < word.size() && isContinuationByte(word[next])) {
                ++next;
            }
            const std::string candidate = current + std::string(word.substr(i, next - i));
            if (!current.empty() && !fits(candidate)) {
                lines.push_back(current);
                current = std::string(word.substr(i, next - i));
            } else {
                current = candidate;
            }
            i = next;
        }
        return current;
    }

    const TextMeasurer& measurer_;
    double fontSize_;
    double width_;
};

} // namespace

namespace ScreenshotTextLayout {

TextLayoutMeasurement measurement(std::string_view text, double fontSize, std::optional<double> layoutWidth,
                                  const TextMeasurer& measurer) {
    TextLayoutMeasurement m;
    const TextFontMetrics metrics = measurer.fontMetrics(fontSize);
    m.lineHeight = std::ceil(metrics.ascender - metrics.descender + metrics.leading);
    m.ascender = metrics.ascender;
    const auto paragraphs = splitParagraphs(text);
    for (const auto paragraph : paragraphs) {
        if (layoutWidth && *layoutWidth > 0) {
            LineWrapper(measurer, fontSize, *layoutWidth).wrap(paragraph, m.lines);
        } else {
            m.lines.emplace_back(paragraph);
        }
    }
    double widest = 0;
    for (const auto& line : m.lines) {
        const double width = std::ceil(measurer.lineWidth(line, fontSize));
        m.lineWidths.push_back(width);
        widest = std::max(widest, width);
    }
    m.size.width = layoutWidth && *layoutWidth > 0 ? *layoutWidth : widest;
    m.size.height = m.lineHeight * static_cast<double>(m.lines.size());
    return m;
}

Rect contentRect(const TextAnnotation& text, const TextLayoutMeasurement& measurement) {
    return {text.origin, measurement.size};
}

} // namespace ScreenshotTextLayout

const TextLayoutMeasurement& TextLayoutCache::measurement(const TextAnnotation& text) const {
    Key key{text.text, text.fontSize, text.layoutWidth};
    if (const auto it = entries_.find(key); it != entries_.end()) {
        return it->second;
    }
    if (entries_.size() >= capacity) {
        entries_.clear();
    }
    auto m = ScreenshotTextLayout::measurement(text.text, text.fontSize, text.layoutWidth, measurer_);
    return entries_.emplace(std::move(key), std::move(m)).first->second;
}

Rect TextLayoutCache::contentRect(const TextAnnotation& text) const {
    return ScreenshotTextLayout::contentRect(text, measurement(text));
}

} // namespace brisklet
