#include "ZelvorApp/Infrastructure/StringsTableParser.h"

#include "ZelvorCore/Foundation/Hex.h"

namespace brisklet {

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
            pos_ = 3; // byte-order mark
        }
    }

    std::optional<StringsTable> parse(std::string* error) {
        StringsTable table;
        for (;;) {
            skipSpaceAndComments();
            if (pos_ >= text_.size()) {
                return table;
            }
            auto key = quoted();
            skipSpaceAndComments();
            if (!key || !take('=')) {
                return failed(error, "expected \"key\" =");
            }
            skipSpaceAndComments();
            auto value = quoted();
            skipSpaceAndComments();
            if (!value || !take(';')) {
                return failed(error, "expected \"text\";");
            }
            table[std::move(*key)] = std::move(*value);
        }
    }

private:
    std::optional<StringsTable> failed(std::string* error, const char* what) const {
        if (error != nullptr) {
            std::size_t line = 1;
            for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) {
                line += text_[i] == '\n' ? 1 : 0;
            }
            *error = std::string(what) + " at line " + std::to_string(line);
        }
        return std::nullopt;
    }

    bool take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    void skipSpaceAndComments() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "/*") {
                const auto end = text_.find("*/", pos_ + 2);
                pos_ = end == std::string_view::npos ? text_.size() : end + 2;
            } else if (text_.substr(pos_, 2) == "//") {
                const auto end = text_.find('\n', pos_);
                pos_ = end == std::string_view::npos ? text_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    static void appendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }

    bool escape(std::string& out) {
        if (pos_ >= text_.size()) {
            return false;
        }
        const char c = text_[pos_++];
        switch (c) {
        case 'n':
            out.push_back('\n');
            return true;
        case 't':
            out.push_back('\t');
            return true;
        case 'r':
            out.push_back('\r');
            return true;
        case '"':
        case '\\':
        case '\'':
            out.push_back(c);
            return true;
        case 'U':
        case 'u': {
            unsigned code = 0;
            for (int i = 0; i < 4; ++i) {
                const int digit = pos_ < text_.size() ? hexDigitValue(text_[pos_++]) : -1;
                if (digit < 0) {
                    return false;
                }
                code = code * 16 + static_cast<unsigned>(digit);
            }
            appendUtf8(out, code);
            return true;
        }
        default:
            return false;
        }
    }

    std::optional<std::string> quoted() {
        if (!take('"')) {
            return std::nullopt;
        }
        std::string out;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') {
                return out;
            }
            if (c == '\\') {
                if (!escape(out)) {
                    return std::nullopt;
                }
            } else {
                out.push_back(c);
            }
        }
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::optional<StringsTable> parseStringsTable(std::string_view text, std::string* error) {
    return Parser(text).parse(error);
}

} // namespace brisklet
