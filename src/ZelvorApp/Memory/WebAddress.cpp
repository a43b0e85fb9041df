#include "ZelvorApp/Memory/WebAddress.h"

#include "ZelvorCore/Models/VisualMemoryText.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace brisklet {

namespace {

namespace text = memorytext;

bool isSchemeStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool isSchemeCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

bool isForbiddenInURL(unsigned char c) {
    static constexpr std::string_view forbidden = "<>\"{}|\\^`";
    return c <= 0x20 || c == 0x7F || forbidden.find(static_cast<char>(c)) != std::string_view::npos;
}

std::optional<std::string> hostOf(std::string_view rest) {
    if (rest.substr(0, 2) != "//") {
        return std::nullopt;
    }
    std::string_view authority = rest.substr(2);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        return close == std::string_view::npos ? std::nullopt
                                               : std::optional<std::string>(authority.substr(1, close - 1));
    }
    authority = authority.substr(0, authority.find(':'));
    if (authority.empty()) {
        return std::nullopt;
    }
    return text::lowercased(authority);
}

constexpr std::array<std::string_view, 62> wellKnownTopLevelDomains{
    "com", "net",  "org",    "edu",  "gov",   "mil",  "int", "io", "ai", "app", "dev", "co", "me", "tv", "info", "biz",
    "xyz", "site", "online", "tech", "cloud", "page", "so",  "sh", "ly", "gg",  "fm",  "to", "cc", "us", "uk",   "ca",
    "au",  "de",   "fr",     "es",   "it",    "nl",   "se",  "no", "fi", "dk",  "pl",  "ru", "cn", "jp", "kr",   "tw",
    "hk",  "sg",   "in",     "br",   "mx",    "ch",   "at",  "be", "cz", "eu",  "nz",  "ie", "il", "tr"};

bool isDomainLabelCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-';
}

// "example.com" or "docs.example.co.uk/path": labels of letters, digits and "-", a well-known
// top-level domain, then optionally a path, query or fragment.
bool isBareDomain(std::string_view candidate) {
    const auto pathStart = candidate.find_first_of("/?#:");
    const std::string_view host = candidate.substr(0, pathStart);
    const auto lastDot = host.rfind('.');
    if (lastDot == std::string_view::npos || lastDot == 0 || lastDot + 1 >= host.size()) {
        return false;
    }
    std::size_t labelStart = 0;
    while (labelStart <= host.size()) {
        const auto dot = host.find('.', labelStart);
        const std::string_view label = host.substr(labelStart, dot - labelStart);
        if (label.empty() || !std::all_of(label.begin(), label.end(), isDomainLabelCharacter)) {
            return false;
        }
        if (dot == std::string_view::npos) {
            break;
        }
        labelStart = dot + 1;
    }
    const std::string tld = text::lowercased(host.substr(lastDot + 1));
    return std::find(wellKnownTopLevelDomains.begin(), wellKnownTopLevelDomains.end(), tld) !=
           wellKnownTopLevelDomains.end();
}

bool isEmailAddress(std::string_view candidate) {
    const auto at = candidate.find('@');
    if (at == std::string_view::npos || at == 0 || candidate.find('@', at + 1) != std::string_view::npos) {
        return false;
    }
    const std::string_view local = candidate.substr(0, at);
    const bool localOk = std::all_of(local.begin(), local.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
               std::string_view("._%+-").find(c) != std::string_view::npos;
    });
    const std::string_view domain = candidate.substr(at + 1);
    return localOk && domain.find_first_of("/?#:") == std::string_view::npos && isBareDomain(domain);
}

// Text around a link that belongs to the sentence, not the address.
std::string_view trimSentencePunctuation(std::string_view run) {
    while (!run.empty() && std::string_view("([{'\"").find(run.front()) != std::string_view::npos) {
        run.remove_prefix(1);
    }
    while (!run.empty()) {
        const char last = run.back();
        if (std::string_view(".,;:!?'\"").find(last) != std::string_view::npos) {
            run.remove_suffix(1);
            continue;
        }
        const char open = last == ')' ? '(' : last == ']' ? '[' : last == '}' ? '{' : '\0';
        if (open != '\0' && std::count(run.begin(), run.end(), open) < std::count(run.begin(), run.end(), last)) {
            run.remove_suffix(1);
            continue;
        }
        break;
    }
    return run;
}

std::optional<WebAddress> linkInRun(std::string_view run) {
    run = trimSentencePunctuation(run);
    if (run.empty()) {
        return std::nullopt;
    }
    const std::string lower = text::lowercased(run);
    for (const std::string_view scheme : {"https://", "http://", "ftp://", "file://", "mailto:"}) {
        const auto at = lower.find(scheme);
        if (at != std::string::npos && (at == 0 || !std::isalnum(static_cast<unsigned char>(lower[at - 1])))) {
            const auto address = WebAddress::parse(run.substr(at));
            if (address && (address->host || address->scheme == "mailto" || address->scheme == "file")) {
                return address;
            }
        }
    }
    if (text::startsWith(lower, "www.") && run.size() > 4) {
        return WebAddress::parse("http://" + std::string(run));
    }
    if (isEmailAddress(run)) {
        return WebAddress::parse("mailto:" + std::string(run));
    }
    if (isBareDomain(run)) {
        return WebAddress::parse("http://" + std::string(run));
    }
    return std::nullopt;
}

bool endsRun(std::string_view source, std::size_t pos) {
    const auto c = static_cast<unsigned char>(source[pos]);
    if (c < 0x80) {
        return c <= 0x20 || c == 0x7F || c == '<' || c == '>' || c == '"';
    }
    return false;
}

} // namespace

std::optional<WebAddress> WebAddress::parse(std::string_view value) {
    const auto colon = value.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isSchemeStart(value[0])) {
        return std::nullopt;
    }
    const std::string_view scheme = value.substr(0, colon);
    if (!std::all_of(scheme.begin(), scheme.end(), isSchemeCharacter)) {
        return std::nullopt;
    }
    if (std::any_of(value.begin(), value.end(),
                    [](char c) { return isForbiddenInURL(static_cast<unsigned char>(c)); })) {
        return std::nullopt;
    }
    WebAddress address;
    address.absoluteString = std::string(value);
    address.scheme = text::lowercased(scheme);
    address.host = hostOf(value.substr(colon + 1));
    return address;
}

std::optional<WebAddress> TextLinkDetector::firstLink(std::string_view source) {
    std::size_t pos = 0;
    while (pos < source.size()) {
        while (pos < source.size() && endsRun(source, pos)) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < source.size() && !endsRun(source, pos)) {
            ++pos;
        }
        if (pos > start) {
            // Non-ASCII spaces and CJK punctuation also end an address.
            for (const auto& piece : text::splitOnWhitespace(source.substr(start, pos - start))) {
                if (auto link = linkInRun(piece)) {
                    return link;
                }
            }
        }
    }
    return std::nullopt;
}

} // namespace brisklet
