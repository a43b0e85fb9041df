#pragma once

// Light header: the full JSON library is included only by the .cpp files that code documents.
#include <nlohmann/json_fwd.hpp>

namespace brisklet {

/// JSON documents keep their keys in insertion order, so written files read like the records.
using Json = nlohmann::ordered_json;

} // namespace brisklet
