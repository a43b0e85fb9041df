#include "ZelvorApp/Text/UnicodeText.h"

#include <cwctype>
#include <locale.h>
#include <optional>
#include <wctype.h>

namespace brisklet::unicode {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

// Classification follows the C library's UTF-8 tables, which cover every script; the locale
// is made once and never freed (it lives as long as the process).
locale_t unicodeLocale() {
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (const locale_t candidate = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr))) {
                return candidate;
            }
        }
        return static_cast<locale_t>(nullptr);
    }();
    return locale;
}

bool isCombiningMark(char32_t s) {
    return (s >= 0x0300 && s <= 0x036F) || (s >= 0x1AB0 && s <= 0x1AFF) || (s >= 0x1DC0 && s <= 0x1DFF) ||
           (s >= 0x20D0 && s <= 0x20FF) || (s >= 0xFE20 && s <= 0xFE2F) || s == 0x3099 || s == 0x309A;
}

bool isZeroWidthModifier(char32_t s) {
    return isCombiningMark(s) || s == 0x200D || (s >= 0xFE00 && s <= 0xFE0F) || (s >= 0x1F3FB && s <= 0x1F3FF) ||
           (s >= 0xE0100 && s <= 0xE01EF);
}

} // namespace

bool isCJK(char32_t s) {
    return (s >= 0x3040 && s <= 0x30FF) || (s >= 0x3400 && s <= 0x9FFF) || (s >= 0xF900 && s <= 0xFAFF);
}

bool isWhitespace(char32_t s) {
    return (s >= 0x09 && s <= 0x0D) || s == 0x20 || s == 0x85 || s == 0xA0 || s == 0x1680 ||
           (s >= 0x2000 && s <= 0x200A) || s == 0x2028 || s == 0x2029 || s == 0x202F || s == 0x205F || s == 0x3000;
}

bool isAlphanumeric(char32_t s) {
    if (s < 0x80) {
        return (s >= '0' && s <= '9') || (s >= 'a' && s <= 'z') || (s >= 'A' && s <= 'Z');
    }
    if (isCJK(s) || isCombiningMark(s)) {
        return true;
    }
    if (const locale_t locale = unicodeLocale()) {
        return iswalnum_l(static_cast<wint_t>(s), locale) != 0;
    }
    // Without a UTF-8 locale, count the Latin-1 letters and leave other scripts to the CJK test.
    return s >= 0xC0 && s <= 0x24F && s != 0xD7 && s != 0xF7;
}

char32_t toLower(char32_t s) {
    if (s < 0x80) {
        return (s >= 'A' && s <= 'Z') ? s + 32 : s;
    }
    if (const locale_t locale = unicodeLocale()) {
        return static_cast<char32_t>(towlower_l(static_cast<wint_t>(s), locale));
    }
    return s;
}

std::string_view trimmed(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end) {
        std::size_t next = begin;
        if (!isWhitespace(utf8::nextScalar(text, next))) {
            break;
        }
        begin = next;
    }
    while (end > begin) {
        std::size_t start = end - 1;
        while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
            --start;
        }
        std::size_t probe = start;
        const char32_t scalar = utf8::nextScalar(text, probe);
        if (probe != end || !isWhitespace(scalar)) {
            break;
        }
        end = start;
    }
    return text.substr(begin, end - begin);
}

std::string toLower(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        appendUtf8(out, toLower(utf8::nextScalar(text, i)));
    }
    return out;
}

std::string collapsedWhitespace(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pendingSpace = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const char32_t scalar = utf8::nextScalar(text, i);
        if (isWhitespace(scalar)) {
            pendingSpace = true;
            continue;
        }
        if (pendingSpace && !out.empty()) {
            out.push_back(' ');
        }
        pendingSpace = false;
        out.append(text.substr(start, i - start));
    }
    return out;
}

std::string removingWhitespace(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        if (!isWhitespace(utf8::nextScalar(text, i))) {
            out.append(text.substr(start, i - start));
        }
    }
    return out;
}

std::vector<ByteRange> nonWhitespaceRuns(std::string_view text) {
    // A plain sentinel instead of std::optional: GCC 12 at -O3 wrongly warns the optional may be
    // read uninitialised.
    constexpr std::size_t noRun = std::string_view::npos;
    std::vector<ByteRange> runs;
    std::size_t runStart = noRun;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        if (isWhitespace(utf8::nextScalar(text, i))) {
            if (runStart != noRun) {
                runs.push_back({runStart, start});
                runStart = noRun;
            }
        } else if (runStart == noRun) {
            runStart = start;
        }
    }
    if (runStart != noRun) {
        runs.push_back({runStart, text.size()});
    }
    return runs;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (!isZeroWidthModifier(utf8::nextScalar(text, i)) || count == 0) {
            ++count;
        }
    }
    return count;
}

char32_t firstScalar(std::string_view text) {
    std::size_t i = 0;
    return text.empty() ? 0 : utf8::nextScalar(text, i);
}

char32_t lastScalar(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    std::size_t start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
        --start;
    }
    std::size_t probe = start;
    const char32_t scalar = utf8::nextScalar(text, probe);
    return probe == text.size() ? scalar : replacementCharacter;
}

} // namespace brisklet::unicode
