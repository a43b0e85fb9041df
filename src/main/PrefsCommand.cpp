#include "main/PrefsCommand.h"

#include "Platform/DefaultsStore.h"
#include "ZelvorApp/Control/StartupPreferencesMigration.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <fstream>
#include <sstream>

namespace brisklet {

namespace {

constexpr std::size_t maximumDocumentBytes = 16u << 20;

/// What the application would run with: the stored record (or the defaults), migrated.
AppPreferences effectivePreferences(DefaultsStore& defaults, std::ostream& err) {
    std::optional<std::string> decodeError;
    AppPreferences preferences = PreferencesStore(defaults).load(decodeError);
    if (decodeError) {
        err << "brisklet: stored preferences are unreadable (" << *decodeError << "); showing the defaults\n";
    }
    runStartupPreferencesMigrations(preferences, defaults, MigrationMode::preview);
    return preferences;
}

int show(DefaultsStore& defaults, std::ostream& out, std::ostream& err) {
    out << PreferencesStore::encode(effectivePreferences(defaults, err), true) << "\n";
    return 0;
}

int exportTo(const std::string& file, DefaultsStore& defaults, std::ostream& out, std::ostream& err) {
    const std::string document = PreferencesStore::encode(effectivePreferences(defaults, err), true) + "\n";
    if (const auto error = writeNewFileAtomically(file, document)) {
        if (error == std::errc::file_exists) {
            err << "brisklet: " << file << " already exists; choose a new file name\n";
        } else {
            err << "brisklet: cannot write " << file << ": " << error.message() << "\n";
        }
        return 1;
    }
    out << "Preferences exported to " << file << "\n";
    return 0;
}

int importFrom(const std::string& file, DefaultsStore& defaults, std::ostream& out, std::ostream& err) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        err << "brisklet: cannot read " << file << "\n";
        return 1;
    }
    std::string bytes(maximumDocumentBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > maximumDocumentBytes) {
        err << "brisklet: " << file << " is too large to be a preferences document\n";
        return 1;
    }
    std::string error;
    if (!PreferencesStore::decode(bytes, &error)) {
        err << "brisklet: " << file << " is not a usable preferences document (" << error << "); nothing was changed\n";
        return 1;
    }
    // Stored as given: the normal load and start-up migrations apply to it like to any document.
    defaults.setData(DefaultsKeys::preferences, bytes);
    out << "Preferences imported from " << file << "\n";
    return 0;
}

int reset(DefaultsStore& defaults, std::ostream& out) {
    defaults.removeValue(DefaultsKeys::preferences);
    out << "Preferences reset to the defaults\n";
    return 0;
}

} // namespace

int runPrefsCommand(const std::vector<std::string>& args, DefaultsStore& defaults, std::ostream& out,
                    std::ostream& err) {
    const std::string verb = args.empty() ? "" : args[0];
    if (verb == "show" && args.size() == 1) {
        return show(defaults, out, err);
    }
    if (verb == "export" && args.size() == 2) {
        return exportTo(args[1], defaults, out, err);
    }
    if (verb == "import" && args.size() == 2) {
        return importFrom(args[1], defaults, out, err);
    }
    if (verb == "reset" && args.size() == 1) {
        return reset(defaults, out);
    }
    err << "brisklet: usage: brisklet prefs show | prefs export FILE | prefs import FILE | prefs reset\n";
    return 2;
}

} // namespace brisklet
