#pragma once

// Strict JSON coding shared by every stored record. Include from .cpp files only.
//
// Reading is strict on purpose: a boolean never reads as a number, a fractional number never
// reads as an integer, and an unknown enumeration raw value is an error. Callers decide what a
// failed read means (usually: fall back to defaults as a whole).

#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Json.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet::json {

class DecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(std::string_view what);

/// Parses text; malformed JSON is a DecodeError.
Json parse(std::string_view text);

void read(const Json& j, bool& out);
void read(const Json& j, double& out);
void read(const Json& j, std::int64_t& out);
void read(const Json& j, int& out);
void read(const Json& j, std::uint32_t& out);
void read(const Json& j, std::string& out);
/// CGSize-style array [width, height].
void read(const Json& j, Size& out);
/// CGRect-style array [[x, y], [width, height]].
void read(const Json& j, Rect& out);

Json write(bool v);
Json write(double v);
Json write(std::int64_t v);
Json write(int v);
Json write(std::uint32_t v);
Json write(const std::string& v);
Json write(Size v);
Json write(const Rect& v);

/// Dates as stored by default: seconds since 2001-01-01 00:00:00 UTC.
Json writeReferenceDate(Date date);
Date readReferenceDate(const Json& j);

template <RawValueEnum E> void read(const Json& j, E& out) {
    if (!j.is_string()) {
        fail("expected a string raw value");
    }
    const auto& text = j.template get_ref<const std::string&>();
    const auto value = enumFromString<E>(text);
    if (!value) {
        fail("unknown raw value \"" + text + "\"");
    }
    out = *value;
}

template <RawValueEnum E> Json write(E value) {
    return Json(std::string(toString(value)));
}

template <class T> void read(const Json& j, std::optional<T>& out) {
    if (j.is_null()) {
        out.reset();
        return;
    }
    T value{};
    read(j, value);
    out = std::move(value);
}

template <class T> void read(const Json& j, std::vector<T>& out) {
    if (!j.is_array()) {
        fail("expected an array");
    }
    std::vector<T> values;
    values.reserve(j.size());
    for (const auto& element : j) {
        T value{};
        read(element, value);
        values.push_back(std::move(value));
    }
    out = std::move(values);
}

template <class T> Json write(const std::vector<T>& values) {
    Json array = Json::array();
    for (const auto& value : values) {
        array.push_back(write(value));
    }
    return array;
}

const Json& requireObject(const Json& j);

/// Required key: missing or null is an error.
template <class T> void field(const Json& object, const char* key, T& out) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        fail(std::string("missing key \"") + key + "\"");
    }
    try {
        read(*it, out);
    } catch (const DecodeError& error) {
        fail(std::string(key) + ": " + error.what());
    }
}

/// Optional key: missing or null leaves `out` as it is (the caller's default).
template <class T> void optionalField(const Json& object, const char* key, T& out) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return;
    }
    try {
        read(*it, out);
    } catch (const DecodeError& error) {
        fail(std::string(key) + ": " + error.what());
    }
}

template <class T> void put(Json& object, const char* key, const T& value) {
    object[key] = write(value);
}

template <class T> void put(Json& object, const char* key, const std::optional<T>& value) {
    if (value) {
        object[key] = write(*value);
    }
}

} // namespace brisklet::json
