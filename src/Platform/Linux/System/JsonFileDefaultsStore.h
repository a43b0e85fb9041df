#pragma once

#include "Platform/MappedDefaultsStore.h"

#include <filesystem>
#include <functional>

namespace brisklet {

/// The defaults store as one JSON file ($XDG_CONFIG_HOME/Brisklet/defaults.json), rewritten
/// atomically on every change. A file that cannot be read is renamed aside with a timestamp and
/// reported, and the store starts empty: a damaged file never stops the application, and its
/// content is never silently destroyed.
class JsonFileDefaultsStore final : public MappedDefaultsStore {
public:
    using Reporter = std::function<void(const std::string& message)>;

    JsonFileDefaultsStore(std::filesystem::path file, Reporter report = {});

    const std::filesystem::path& file() const { return file_; }

    /// "defaults.json" inside `configDirectory`/"Brisklet".
    static std::filesystem::path defaultFile(const std::filesystem::path& configDirectory);

    /// Reads the file again; a file that has become unreadable is set aside and reported as at
    /// start-up, and the values in memory stay.
    void reload() override;

private:
    struct Loaded {
        Values values;
        bool writable = true;
    };
    JsonFileDefaultsStore(Loaded loaded, std::filesystem::path file, Reporter report);
    /// Writes the one changed key into the file as it is on disk now, so values another process
    /// stored meanwhile (`brisklet prefs import` beside the running application) are kept.
    void didChange(const Values& values, const std::string& changedKey) override;
    static Loaded loadFile(const std::filesystem::path& file, const Reporter& report);

    std::filesystem::path file_;
    Reporter report_;
    bool writable_ = true;
};

} // namespace brisklet
