#pragma once

/// The names the running application is reached by on the session bus.
namespace brisklet::AppCommandChannel {
inline constexpr const char* serviceName = "com.brisklet.Brisklet";
inline constexpr const char* objectPath = "/com/brisklet/Brisklet";
inline constexpr const char* interfaceName = "com.brisklet.Brisklet";
} // namespace brisklet::AppCommandChannel
