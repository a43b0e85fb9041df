#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brisklet {

/// One argument of a printf-style text: a string, an integer or a real number.
struct FormatArgument {
    std::variant<std::string, std::int64_t, double> value;

    FormatArgument(std::string s) : value(std::move(s)) {}
    FormatArgument(const char* s) : value(std::string(s)) {}
    FormatArgument(std::string_view s) : value(std::string(s)) {}
    FormatArgument(int i) : value(static_cast<std::int64_t>(i)) {}
    FormatArgument(long i) : value(static_cast<std::int64_t>(i)) {}
    FormatArgument(long long i) : value(static_cast<std::int64_t>(i)) {}
    FormatArgument(unsigned i) : value(static_cast<std::int64_t>(i)) {}
    FormatArgument(double d) : value(d) {}
};

/// printf-style formatting of translated texts, safe against any format: %s/%@, %d/%i/%u with
/// l/ll/z lengths, %f/%g with precision, positional %1$s, and %%. A conversion without an
/// argument prints nothing, and a mismatched type is converted instead of read as garbage.
std::string formatText(std::string_view format, const std::vector<FormatArgument>& arguments);

/// The conversions a format uses, normalised ("s", "d", "f", ...), in order; used to check that
/// every translation takes the same arguments as English.
std::vector<std::string> formatConversions(std::string_view format);

} // namespace brisklet
