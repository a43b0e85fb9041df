#pragma once

#include <map>
#include <optional>
#include <string>

namespace brisklet {

/// The installed package's description of where its updates come from: key → text, e.g.
/// "BriskletUpdateRepository" → "owner/brisklet".
using UpdateInfoDictionary = std::map<std::string, std::string>;

/// Where the update information is read from; tests hand in a dictionary of their own.
class UpdateInfoSource {
public:
    virtual ~UpdateInfoSource() = default;
    /// The information, or nothing when this build carries none (built from source, or the file
    /// is unreadable; the source logs why).
    virtual std::optional<UpdateInfoDictionary> read() const = 0;
};

} // namespace brisklet
