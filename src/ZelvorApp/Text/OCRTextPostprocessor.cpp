#include "ZelvorApp/Text/OCRTextPostprocessor.h"

#include "ZelvorApp/Text/UnicodeText.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

constexpr float minimumConfidence = 0.22f;
constexpr float twoIdeographMinimumConfidence = 0.75f;
constexpr double maximumSymbolShare = 0.45;

struct LineCounts {
    int meaningful = 0;
    int visible = 0;
};

LineCounts countScalars(std::string_view text) {
    LineCounts counts;
    for (const char32_t scalar : unicode::decodeUtf8(text)) {
        if (unicode::isWhitespace(scalar)) {
            continue;
        }
        ++counts.visible;
        if (unicode::isAlphanumeric(scalar) || unicode::isCJK(scalar)) {
            ++counts.meaningful;
        }
    }
    return counts;
}

bool isTwoIdeographs(std::string_view compact) {
    const auto scalars = unicode::decodeUtf8(compact);
    return scalars.size() == 2 && unicode::isCJK(scalars[0]) && unicode::isCJK(scalars[1]);
}

} // namespace

bool OCRTextPostprocessor::isTrustedShortTerm(std::string_view compact) {
    return std::find(trustedShortTerms.begin(), trustedShortTerms.end(), compact) != trustedShortTerms.end();
}

bool OCRTextPostprocessor::shouldKeepLine(const RecognizedTextLine& line, Size imageSize) {
    const std::string_view text = unicode::trimmed(line.text);
    if (text.empty() || line.confidence < minimumConfidence) {
        return false;
    }
    const LineCounts counts = countScalars(text);
    if (counts.meaningful < 1) {
        return false;
    }
    const std::string compact = unicode::toLower(unicode::removingWhitespace(text));
    const bool trusted = isTrustedShortTerm(compact);
    if (counts.meaningful < 3) {
        const bool confidentIdeographPair =
            isTwoIdeographs(compact) && line.confidence >= twoIdeographMinimumConfidence;
        if (!trusted && !confidentIdeographPair) {
            return false;
        }
    }
    if (counts.visible >= 1) {
        const int symbols = std::max(counts.visible - counts.meaningful, 0);
        if (static_cast<double>(symbols) / counts.visible > maximumSymbolShare && counts.meaningful < 4) {
            return false;
        }
    }
    const double lineHeight = line.bounds.height();
    if (lineHeight <= 0) {
        return true;
    }
    const double minHeight = std::clamp(std::max(imageSize.width, imageSize.height) * 0.004, 6.0, 14.0);
    if (lineHeight >= minHeight || counts.meaningful > 5) {
        return true;
    }
    return trusted;
}

bool OCRTextPostprocessor::readsBefore(const RecognizedTextLine& a, const RecognizedTextLine& b) {
    const double tolerance = std::max(std::max(a.bounds.height(), b.bounds.height()), 12.0) * 0.55;
    if (std::abs(a.bounds.midY() - b.bounds.midY()) > tolerance) {
        return a.bounds.maxY() > b.bounds.maxY();
    }
    return a.bounds.minX() < b.bounds.minX();
}

std::vector<RecognizedTextLine> OCRTextPostprocessor::reindexed(std::vector<RecognizedTextLine> lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i].index = static_cast<int>(i);
        for (auto& word : lines[i].words) {
            word.lineIndex = static_cast<int>(i);
        }
    }
    return lines;
}

std::vector<RecognizedTextLine> OCRTextPostprocessor::cleanedLines(std::vector<RecognizedTextLine> lines,
                                                                   Size imageSize) {
    std::erase_if(lines, [&](const RecognizedTextLine& line) { return !shouldKeepLine(line, imageSize); });
    std::stable_sort(lines.begin(), lines.end(), readsBefore);
    return reindexed(std::move(lines));
}

} // namespace brisklet
