#pragma once

// JSON helpers shared by the recognised-text records. Include from .cpp files only.

#include "ZelvorCore/Foundation/Json.h"
#include "ZelvorCore/Foundation/Uuid.h"

namespace brisklet::textjson {

/// A required UUID string under `key`; anything else is a decode error.
Uuid readUuid(const Json& object, const char* key);
/// The required "confidence" number, which must lie in 0...1.
float readConfidence(const Json& object);

} // namespace brisklet::textjson
