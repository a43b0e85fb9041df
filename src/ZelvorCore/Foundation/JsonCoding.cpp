#include "ZelvorCore/Foundation/JsonCoding.h"

#include <cmath>
#include <limits>

namespace brisklet::json {

void fail(std::string_view what) {
    throw DecodeError(std::string(what));
}

Json parse(std::string_view text) {
    try {
        return Json::parse(text.begin(), text.end());
    } catch (const nlohmann::json::exception& error) {
        fail(std::string("malformed JSON: ") + error.what());
    }
}

const Json& requireObject(const Json& j) {
    if (!j.is_object()) {
        fail("expected an object");
    }
    return j;
}

void read(const Json& j, bool& out) {
    if (!j.is_boolean()) {
        fail("expected a boolean");
    }
    out = j.get<bool>();
}

void read(const Json& j, double& out) {
    if (!j.is_number()) {
        fail("expected a number");
    }
    out = j.get<double>();
}

void read(const Json& j, std::int64_t& out) {
    if (j.is_number_integer()) {
        out = j.get<std::int64_t>();
        if (j.is_number_unsigned() && j.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX)) {
            fail("integer out of range");
        }
        return;
    }
    if (j.is_number_float()) {
        const double d = j.get<double>();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18) {
            out = static_cast<std::int64_t>(d);
            return;
        }
    }
    fail("expected an integer");
}

void read(const Json& j, int& out) {
    std::int64_t wide = 0;
    read(j, wide);
    if (wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max()) {
        fail("integer out of range");
    }
    out = static_cast<int>(wide);
}

void read(const Json& j, std::uint32_t& out) {
    std::int64_t wide = 0;
    read(j, wide);
    if (wide < 0 || wide > std::numeric_limits<std::uint32_t>::max()) {
        fail("integer out of range");
    }
    out = static_cast<std::uint32_t>(wide);
}

void read(const Json& j, std::string& out) {
    if (!j.is_string()) {
        fail("expected a string");
    }
    out = j.get<std::string>();
}

void read(const Json& j, Size& out) {
    if (!j.is_array() || j.size() != 2) {
        fail("expected [width, height]");
    }
    read(j[0], out.width);
    read(j[1], out.height);
}

void read(const Json& j, Rect& out) {
    if (!j.is_array() || j.size() != 2 || !j[0].is_array() || j[0].size() != 2) {
        fail("expected [[x, y], [width, height]]");
    }
    read(j[0][0], out.origin.x);
    read(j[0][1], out.origin.y);
    read(j[1], out.size);
}

Json write(bool v) {
    return Json(v);
}
Json write(double v) {
    return Json(v);
}
Json write(std::int64_t v) {
    return Json(v);
}
Json write(int v) {
    return Json(v);
}
Json write(std::uint32_t v) {
    return Json(v);
}
Json write(const std::string& v) {
    return Json(v);
}
Json write(Size v) {
    return Json::array({v.width, v.height});
}
Json write(const Rect& v) {
    return Json::array({Json::array({v.origin.x, v.origin.y}), write(v.size)});
}

Json writeReferenceDate(Date date) {
    return Json(date.referenceSeconds());
}

Date readReferenceDate(const Json& j) {
    double seconds = 0;
    read(j, seconds);
    return Date::fromReferenceSeconds(seconds);
}

} // namespace brisklet::json
