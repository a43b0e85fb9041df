#include "ZelvorCore/Stores/VisualMemoryIndexCoding.h"

#include "ZelvorCore/Foundation/FileUrl.h"
#include "ZelvorCore/Foundation/JsonCoding.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>

namespace brisklet {

namespace {

// Writes the index text directly, byte for byte what the JSON library's two-space pretty printer
// gives for `write(item)`, without building a document tree first: for a library of tens of
// thousands of items that tree costs ten times more than the text itself.
class IndexWriter {
public:
    explicit IndexWriter(std::string& out) : out_(out) {}

    void item(const VisualMemoryItem& value) {
        out_ += "  {";
        first_ = true;
        optionalString("browserDeepCaptureStatus",
                       value.browserDeepCaptureStatus
                           ? std::optional<std::string_view>(toString(*value.browserDeepCaptureStatus))
                           : std::nullopt);
        if (value.byteCount) {
            key("byteCount");
            out_ += std::to_string(*value.byteCount);
        }
        optionalString("clipboardContentKind", value.clipboardContentKind ? std::optional<std::string_view>(
                                                                                toString(*value.clipboardContentKind))
                                                                          : std::nullopt);
        optionalString("contextKind", value.contextKind ? std::optional<std::string_view>(toString(*value.contextKind))
                                                        : std::nullopt);
        stringField("contextText", value.contextText);
        date("createdAt", value.createdAt);
        if (value.expiresAt) {
            date("expiresAt", *value.expiresAt);
        }
        stringField("id", value.id);
        boolField("isFavorite", value.isFavorite);
        boolField("isPinned", value.isPinned);
        stringField("kind", toString(value.kind));
        listField("manualTags", value.manualTags);
        stringField("ocrText", value.ocrText);
        optionalString("packagePath", value.packagePath);
        if (value.pinnedAt) {
            date("pinnedAt", *value.pinnedAt);
        }
        listField("removedAutoTags", value.removedAutoTags);
        optionalString("sourceApp", value.sourceApp);
        optionalString("sourceURL", value.sourceURL);
        optionalString("sourceWindow", value.sourceWindow);
        stringField("summary", value.summary);
        listField("tags", value.tags);
        optionalString("thumbnailPath", value.thumbnailPath);
        url(value.url);
        out_ += "\n  }";
    }

private:
    // Whether any of the eight bytes is a control character, a quote, a backslash or non-ASCII.
    static bool needsAttention(std::uint64_t word) {
        constexpr std::uint64_t ones = 0x0101010101010101ULL;
        constexpr std::uint64_t highs = 0x8080808080808080ULL;
        const auto hasZeroByte = [](std::uint64_t v) { return (v - ones) & ~v & highs; };
        const std::uint64_t below0x20 = (word - ones * 0x20) & ~word & highs;
        return ((word & highs) | below0x20 | hasZeroByte(word ^ (ones * '"')) | hasZeroByte(word ^ (ones * '\\'))) != 0;
    }

    // 2023-11-14T22:13:20Z, like `iso8601` but without going through printf for every date.
    void date(std::string_view name, Date value) {
        const std::time_t t = static_cast<std::time_t>(std::floor(value.secondsSince1970));
        std::tm tm{};
        gmtime_r(&t, &tm);
        const int year = tm.tm_year + 1900;
        if (year < 0 || year > 9999) {
            stringField(name, iso8601(value));
            return;
        }
        char text[20];
        const auto two = [&](int at, int v) {
            text[at] = static_cast<char>('0' + v / 10);
            text[at + 1] = static_cast<char>('0' + v % 10);
        };
        two(0, year / 100);
        two(2, year % 100);
        text[4] = '-';
        two(5, tm.tm_mon + 1);
        text[7] = '-';
        two(8, tm.tm_mday);
        text[10] = 'T';
        two(11, tm.tm_hour);
        text[13] = ':';
        two(14, tm.tm_min);
        text[16] = ':';
        two(17, tm.tm_sec);
        text[19] = 'Z';
        stringField(name, std::string_view(text, 20));
    }

    // The file URL of an absolute, already normal path without the general path machinery.
    void url(const std::filesystem::path& path) {
        const std::string& text = path.native();
        const bool normal = !text.empty() && text.front() == '/' && text.find("//") == std::string::npos &&
                            text.find("/./") == std::string::npos && text.find("/../") == std::string::npos &&
                            !text.ends_with("/.") && !text.ends_with("/..");
        if (!normal) {
            stringField("url", fileURLString(path));
            return;
        }
        static constexpr char digits[] = "0123456789ABCDEF";
        key("url");
        out_ += "\"file://";
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                               std::string_view("-._~/!$&'()*+,;=:@").find(ch) != std::string_view::npos;
            if (plain) {
                out_ += ch;
            } else {
                out_ += '%';
                out_ += digits[c >> 4];
                out_ += digits[c & 0x0F];
            }
        }
        out_ += '"';
    }

    void key(std::string_view name) {
        out_ += first_ ? "\n    \"" : ",\n    \"";
        first_ = false;
        out_ += name;
        out_ += "\": ";
    }
    void stringField(std::string_view name, std::string_view value) {
        key(name);
        string(value);
    }
    template <class T> void optionalString(std::string_view name, const std::optional<T>& value) {
        if (value) {
            stringField(name, *value);
        }
    }
    void boolField(std::string_view name, bool value) {
        key(name);
        out_ += value ? "true" : "false";
    }
    void listField(std::string_view name, const std::vector<std::string>& values) {
        key(name);
        if (values.empty()) {
            out_ += "[]";
            return;
        }
        out_ += '[';
        for (std::size_t i = 0; i < values.size(); ++i) {
            out_ += i == 0 ? "\n      " : ",\n      ";
            string(values[i]);
        }
        out_ += "\n    ]";
    }
    void string(std::string_view value) {
        static constexpr char hex[] = "0123456789abcdef";
        out_ += '"';
        std::size_t pos = 0;
        while (pos < value.size()) {
            // Copy the longest run that needs no attention in one go, eight bytes at a time.
            std::size_t run = pos;
            while (run + 8 <= value.size()) {
                std::uint64_t word = 0;
                std::memcpy(&word, value.data() + run, 8);
                if (needsAttention(word)) {
                    break;
                }
                run += 8;
            }
            while (run < value.size()) {
                const auto c = static_cast<unsigned char>(value[run]);
                if (c < 0x20 || c == '"' || c == '\\' || c >= 0x80) {
                    break;
                }
                ++run;
            }
            out_.append(value.substr(pos, run - pos));
            pos = run;
            if (pos >= value.size()) {
                break;
            }
            const auto c = static_cast<unsigned char>(value[pos]);
            if (c >= 0x80) {
                const std::size_t start = pos;
                const char32_t scalar = memorytext::nextScalar(value, pos);
                if (scalar == 0xFFFD && !(pos - start == 3 && value.substr(start, 3) == "\xEF\xBF\xBD")) {
                    out_ += "\xEF\xBF\xBD"; // broken UTF-8 from another application
                } else {
                    out_.append(value.substr(start, pos - start));
                }
                continue;
            }
            ++pos;
            switch (c) {
            case '"':
                out_ += "\\\"";
                break;
            case '\\':
                out_ += "\\\\";
                break;
            case '\b':
                out_ += "\\b";
                break;
            case '\f':
                out_ += "\\f";
                break;
            case '\n':
                out_ += "\\n";
                break;
            case '\r':
                out_ += "\\r";
                break;
            case '\t':
                out_ += "\\t";
                break;
            default:
                out_ += "\\u00";
                out_ += hex[c >> 4];
                out_ += hex[c & 0xF];
            }
        }
        out_ += '"';
    }

    std::string& out_;
    bool first_ = true;
};

} // namespace

std::string encodeVisualMemoryIndex(const std::vector<VisualMemoryItem>& items) {
    if (items.empty()) {
        return "[]\n";
    }
    std::size_t estimate = 64;
    for (const auto& item : items) {
        estimate += 700 + item.ocrText.size() + item.contextText.size() + item.summary.size();
    }
    std::string out;
    out.reserve(estimate);
    out += '[';
    IndexWriter writer(out);
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        writer.item(items[i]);
    }
    out += "\n]\n";
    return out;
}

std::string encodeVisualMemoryIndexThroughDocument(const std::vector<VisualMemoryItem>& items) {
    Json array = Json::array();
    for (const auto& item : items) {
        array.push_back(write(item));
    }
    return array.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

VisualMemoryIndexDecodeResult decodeVisualMemoryIndex(std::string_view document) {
    VisualMemoryIndexDecodeResult result;
    Json root;
    try {
        root = json::parse(document);
    } catch (const json::DecodeError& error) {
        result.error = error.what();
        return result;
    }
    if (!root.is_array()) {
        result.error = "expected an array of items";
        return result;
    }
    result.items.reserve(root.size());
    std::size_t index = 0;
    for (const auto& element : root) {
        try {
            VisualMemoryItem item;
            read(element, item);
            result.items.push_back(std::move(item));
        } catch (const json::DecodeError& error) {
            if (!result.error) {
                result.error = "item " + std::to_string(index) + ": " + error.what();
            }
        }
        ++index;
    }
    return result;
}

} // namespace brisklet
