#include "ZelvorApp/SuperScreenshot/TextFolding.h"

#include "ZelvorCore/Foundation/Utf8.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <array>

namespace brisklet::textfolding {

namespace {

// Base letters of U+00C0...U+00FF and U+0100...U+017F; '.' keeps the letter (Æ, Þ, Œ, ...).
constexpr std::string_view latin1Bases = "AAAAAA.CEEEEIIIIDNOOOOO.OUUUUY.."
                                         "aaaaaa.ceeeeiiiidnooooo.ouuuuy.y";
constexpr std::string_view latinExtendedABases = "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi..JjKk."
                                                 "LlLlLlLlLlNnNnNn...OoOoOo..RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUu"
                                                 "WwYyYZzZzZzs";
// Pinyin tone letters U+01CD...U+01DC.
constexpr std::string_view pinyinBases = "AaIiOoUuUuUuUuUu";

static_assert(latin1Bases.size() == 0x40);
static_assert(latinExtendedABases.size() == 0x80);
static_assert(pinyinBases.size() == 0x10);

// Half-width katakana U+FF66...U+FF9D as their full-width forms.
constexpr std::array<char32_t, 0x38> halfwidthKatakana{
    U'ヲ', U'ァ', U'ィ', U'ゥ', U'ェ', U'ォ', U'ャ', U'ュ', U'ョ', U'ッ', U'ー', U'ア', U'イ', U'ウ',
    U'エ', U'オ', U'カ', U'キ', U'ク', U'ケ', U'コ', U'サ', U'シ', U'ス', U'セ', U'ソ', U'タ', U'チ',
    U'ツ', U'テ', U'ト', U'ナ', U'ニ', U'ヌ', U'ネ', U'ノ', U'ハ', U'ヒ', U'フ', U'ヘ', U'ホ', U'マ',
    U'ミ', U'ム', U'メ', U'モ', U'ヤ', U'ユ', U'ヨ', U'ラ', U'リ', U'ル', U'レ', U'ロ', U'ワ', U'ン',
};

bool isLatinCombiningMark(char32_t s) {
    return (s >= 0x0300 && s <= 0x036F) || (s >= 0x1AB0 && s <= 0x1AFF) || (s >= 0x1DC0 && s <= 0x1DFF) ||
           (s >= 0x20D0 && s <= 0x20FF) || (s >= 0xFE20 && s <= 0xFE2F);
}

char32_t fromTable(std::string_view bases, char32_t offset, char32_t scalar) {
    const char base = bases[offset];
    return base == '.' ? scalar : static_cast<char32_t>(base);
}

// Vietnamese vowels U+1EA0...U+1EF9, in runs of one base letter.
char32_t vietnameseBase(char32_t s) {
    struct Run {
        char32_t last;
        char upper;
    };
    constexpr std::array<Run, 6> runs{
        {{0x1EB7, 'A'}, {0x1EC7, 'E'}, {0x1ECB, 'I'}, {0x1EE3, 'O'}, {0x1EF1, 'U'}, {0x1EF9, 'Y'}}};
    for (const auto& run : runs) {
        if (s <= run.last) {
            // Upper case at even code points, lower case at odd ones.
            return static_cast<char32_t>(s % 2 == 0 ? run.upper : run.upper + ('a' - 'A'));
        }
    }
    return s;
}

char32_t baseLetter(char32_t s) {
    if (s >= 0xC0 && s <= 0xFF) {
        return fromTable(latin1Bases, s - 0xC0, s);
    }
    if (s >= 0x100 && s <= 0x17F) {
        return fromTable(latinExtendedABases, s - 0x100, s);
    }
    if (s >= 0x1CD && s <= 0x1DC) {
        return fromTable(pinyinBases, s - 0x1CD, s);
    }
    switch (s) {
    case 0x1A0:
        return 'O'; // Ơ
    case 0x1A1:
        return 'o';
    case 0x1AF:
        return 'U'; // Ư
    case 0x1B0:
        return 'u';
    case 0x218:
        return 'S'; // Ș
    case 0x219:
        return 's';
    case 0x21A:
        return 'T'; // Ț
    case 0x21B:
        return 't';
    default:
        break;
    }
    if (s >= 0x1EA0 && s <= 0x1EF9) {
        return vietnameseBase(s);
    }
    return s;
}

char32_t narrowed(char32_t s) {
    if (s >= 0xFF01 && s <= 0xFF5E) {
        return s - 0xFEE0;
    }
    if (s == 0x3000) {
        return ' ';
    }
    if (s >= 0xFF66 && s <= 0xFF9D) {
        return halfwidthKatakana[s - 0xFF66];
    }
    if (s == 0xFF9E) {
        return 0x3099;
    }
    if (s == 0xFF9F) {
        return 0x309A;
    }
    return s;
}

// Katakana followed by a combining sound mark, as the precomposed letter (カ + ゛ = ガ).
char32_t withSoundMark(char32_t kana, char32_t mark) {
    const bool voicedRow =
        (kana >= 0x30AB && kana <= 0x30C1 && kana % 2 == 1) || (kana >= 0x30C4 && kana <= 0x30C8 && kana % 2 == 0);
    const bool hRow = kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0;
    if (mark == 0x3099) {
        if (voicedRow || hRow) {
            return kana + 1;
        }
        if (kana == 0x30A6) {
            return 0x30F4; // ヴ
        }
    } else if (mark == 0x309A && hRow) {
        return kana + 2;
    }
    return 0;
}

} // namespace

std::string foldedForComparison(std::string_view text) {
    std::u32string scalars;
    scalars.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t scalar = narrowed(utf8::nextScalar(text, i));
        if (isLatinCombiningMark(scalar)) {
            continue;
        }
        if ((scalar == 0x3099 || scalar == 0x309A) && !scalars.empty()) {
            if (const char32_t composed = withSoundMark(scalars.back(), scalar)) {
                scalars.back() = composed;
                continue;
            }
        }
        if (scalar == 0xDF || scalar == 0x1E9E) { // ß, ẞ
            scalars += U"ss";
            continue;
        }
        scalars.push_back(memorytext::lowercasedScalar(baseLetter(scalar)));
    }
    return utf8::encodeUtf8(scalars);
}

} // namespace brisklet::textfolding
