#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Models/ExportKind.h"

namespace brisklet {

/// The localised name of a library item's kind ("Screenshot", "Copied Text", ...).
L10nKey visualMemoryKindLabel(ExportKind kind);

} // namespace brisklet
