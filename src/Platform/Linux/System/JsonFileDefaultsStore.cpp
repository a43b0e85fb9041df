#include "Platform/Linux/System/JsonFileDefaultsStore.h"

#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

namespace brisklet {

namespace {

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if ((c >> 5) == 0x6 && c >= 0xC2) {
            extra = 1;
        } else if ((c >> 4) == 0xE) {
            extra = 2;
        } else if ((c >> 3) == 0x1E && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= s.size() && extra > 0) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

constexpr char base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) {
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (i + 2 < bytes.size()) {
            n |= static_cast<unsigned char>(bytes[i + 2]);
        }
        out.push_back(base64Alphabet[(n >> 18) & 63]);
        out.push_back(base64Alphabet[(n >> 12) & 63]);
        out.push_back(i + 1 < bytes.size() ? base64Alphabet[(n >> 6) & 63] : '=');
        out.push_back(i + 2 < bytes.size() ? base64Alphabet[n & 63] : '=');
    }
    return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
    std::string out;
    std::uint32_t buffer = 0;
    int bits = 0;
    for (const char c : text) {
        if (c == '=') {
            break;
        }
        const char* p = std::strchr(base64Alphabet, c);
        if (p == nullptr || c == '\0') {
            return std::nullopt;
        }
        buffer = (buffer << 6) | static_cast<std::uint32_t>(p - base64Alphabet);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    return out;
}

Json encodeValue(const MappedDefaultsStore::Value& value) {
    struct Encoder {
        Json operator()(const MappedDefaultsStore::Data& d) const {
            return isValidUtf8(d.bytes) ? Json{{"data", d.bytes}} : Json{{"dataBase64", base64Encode(d.bytes)}};
        }
        Json operator()(bool b) const { return Json{{"bool", b}}; }
        Json operator()(const std::string& s) const { return Json{{"string", s}}; }
        Json operator()(Date d) const { return Json{{"date", d.secondsSince1970}}; }
    };
    return std::visit(Encoder{}, value);
}

MappedDefaultsStore::Value decodeValue(const Json& j) {
    if (!j.is_object() || j.size() != 1) {
        json::fail("expected an object with one type key");
    }
    const auto entry = j.begin();
    const std::string& type = entry.key();
    const Json& payload = entry.value();
    if (type == "data" && payload.is_string()) {
        return MappedDefaultsStore::Data{payload.get<std::string>()};
    }
    if (type == "dataBase64" && payload.is_string()) {
        if (auto bytes = base64Decode(payload.get<std::string>())) {
            return MappedDefaultsStore::Data{std::move(*bytes)};
        }
    }
    if (type == "bool" && payload.is_boolean()) {
        return payload.get<bool>();
    }
    if (type == "string" && payload.is_string()) {
        return payload.get<std::string>();
    }
    if (type == "date" && payload.is_number()) {
        return Date{payload.get<double>()};
    }
    json::fail("unknown value type \"" + type + "\"");
}

std::filesystem::path asideName(const std::filesystem::path& file) {
    const auto stamp = iso8601(Date{static_cast<double>(std::time(nullptr))});
    std::string suffix = stamp;
    for (char& c : suffix) {
        if (c == ':') {
            c = '-';
        }
    }
    std::filesystem::path candidate = file.string() + ".corrupt-" + suffix;
    for (int n = 1; std::filesystem::exists(candidate); ++n) {
        candidate = file.string() + ".corrupt-" + suffix + "_" + std::to_string(n);
    }
    return candidate;
}

} // namespace

JsonFileDefaultsStore::JsonFileDefaultsStore(std::filesystem::path file, Reporter report)
    : JsonFileDefaultsStore(loadFile(file, report), file, report) {}

JsonFileDefaultsStore::JsonFileDefaultsStore(Loaded loaded, std::filesystem::path file, Reporter report)
    : MappedDefaultsStore(std::move(loaded.values)), file_(std::move(file)), report_(std::move(report)),
      writable_(loaded.writable) {}

std::filesystem::path JsonFileDefaultsStore::defaultFile(const std::filesystem::path& configDirectory) {
    return configDirectory / "Brisklet" / "defaults.json";
}

JsonFileDefaultsStore::Loaded JsonFileDefaultsStore::loadFile(const std::filesystem::path& file,
                                                              const Reporter& report) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {};
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    try {
        const Json document = json::parse(buffer.str());
        json::requireObject(document);
        Values values;
        for (const auto& [key, value] : document.items()) {
            values[key] = decodeValue(value);
        }
        return {std::move(values), true};
    } catch (const std::exception& error) {
        const auto aside = asideName(file);
        std::error_code renameError;
        std::filesystem::rename(file, aside, renameError);
        if (report) {
            report("defaults file unreadable path=" + file.string() + " error=" + error.what() +
                   (renameError ? " keptAside=failed; changes will not be saved" : " keptAside=" + aside.string()));
        }
        // If the damaged file could not be moved aside, never write over it.
        return {{}, !renameError};
    }
}

void JsonFileDefaultsStore::didChange(const Values& values, const std::string& changedKey) {
    if (!writable_) {
        return;
    }
    Json document = Json::object();
    bool merged = false;
    {
        std::ifstream in(file_, std::ios::binary);
        if (in) {
            std::stringstream buffer;
            buffer << in.rdbuf();
            try {
                Json onDisk = json::parse(buffer.str());
                if (onDisk.is_object()) {
                    document = std::move(onDisk);
                    merged = true;
                }
            } catch (const std::exception&) {
                // Damaged since we read it: what we hold in memory is the best there is.
            }
        }
    }
    if (merged) {
        const auto it = values.find(changedKey);
        if (it == values.end()) {
            document.erase(changedKey);
        } else {
            document[changedKey] = encodeValue(it->second);
        }
    } else {
        for (const auto& [key, value] : values) {
            document[key] = encodeValue(value);
        }
    }
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    error = writeFileAtomically(file_, document.dump(2) + "\n");
    if (error && report_) {
        report_("defaults file write failed path=" + file_.string() + " error=" + error.message());
    }
}

void JsonFileDefaultsStore::reload() {
    std::error_code error;
    if (!std::filesystem::exists(file_, error)) {
        return;
    }
    Loaded loaded = loadFile(file_, report_);
    // A damaged file has been moved aside (or could not be, and must not be written over): keep
    // what is in memory rather than forgetting every setting.
    if (!loaded.writable || !std::filesystem::exists(file_, error)) {
        writable_ = writable_ && loaded.writable;
        return;
    }
    replaceValues(std::move(loaded.values));
}

} // namespace brisklet
