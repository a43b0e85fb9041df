#pragma once

#include "Platform/MappedDefaultsStore.h"

namespace brisklet {

/// Defaults that live only as long as the object.
class InMemoryDefaultsStore final : public MappedDefaultsStore {
public:
    InMemoryDefaultsStore() = default;
};

} // namespace brisklet
