#pragma once

#include "ZelvorCore/Foundation/Json.h"
#include "ZelvorCore/Models/BrowserCaptureMetadata.h"

namespace brisklet {

/// {"url", "title", "status"}; an absent address or title is left out.
void read(const Json& j, BrowserCaptureMetadata& out);
Json write(const BrowserCaptureMetadata& value);

} // namespace brisklet
