#include "main/CommandLineUsage.h"

#include "Platform/Linux/System/JsonFileDefaultsStore.h"
#include "Platform/Linux/System/XdgPaths.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorApp/Infrastructure/LocalizationCatalog.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/TextFormat.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "main/CommandLine.h"

#include <initializer_list>
#include <sstream>
#include <string_view>

namespace brisklet {

namespace {

/// One command or option: the forms as typed (several lines for long ones) and what it does.
struct UsageEntry {
    std::initializer_list<std::string_view> forms;
    L10nKey description;
};

// Descriptions start in this column, on the form's own line when the form leaves room.
constexpr std::size_t descriptionColumn = 23;
constexpr std::string_view indent = "  ";

const std::initializer_list<UsageEntry> commandEntries = {
    {{"action NAME"}, L10nKey::cliUsageAction},
    {{"prefs show"}, L10nKey::cliUsagePrefsShow},
    {{"prefs export FILE"}, L10nKey::cliUsagePrefsExport},
    {{"prefs import FILE"}, L10nKey::cliUsagePrefsImport},
    {{"prefs reset"}, L10nKey::cliUsagePrefsReset},
    {{"annotate IMAGE --items ITEMS.json -o OUT.png [--enhance]"}, L10nKey::cliUsageAnnotate},
    {{"background IMAGE -o OUT.png [--preset ID | --color '#RRGGBB' | --image FILE | --wallpaper |",
      "           --transparent | --gradient-seed N] [--template NAME] [--frame STYLE]",
      "           [--aspect auto|1:1|4:5|16:9|9:16|W:H] [--padding N] [--shadow 0-100] [--corner N]",
      "           [--align NAME] [--brightness X] [--blur N] [--window]"},
     L10nKey::cliUsageBackground},
    {{"capture full [--screen N] [-o FILE.png]", "capture region WxH+X+Y [-o FILE.png]",
      "capture window ID [-o FILE.png]"},
     L10nKey::cliUsageCapture},
    {{"windows [--json]"}, L10nKey::cliUsageWindows},
    {{"gif FRAME.png... [--fps N] [--duration S] [--timestamps FILE.json] [--background PRESET]",
      "    [--quality 1-100] -o OUT.gif"},
     L10nKey::cliUsageGif},
    {{"record WxH+X+Y [--fps N] [--duration S] [--no-cursor] [--no-clicks] [-o OUT.gif]"}, L10nKey::cliUsageRecordGif},
    {{"record WxH+X+Y --format mp4|mov [--quality low|medium|high] [--audio] [--duration S]",
      "       [--no-cursor] [--no-clicks] [-o FILE]"},
     L10nKey::cliUsageRecordVideo},
    {{"library list [--query Q] [--collection C] [--json]"}, L10nKey::cliUsageLibraryList},
    {{"library add FILE [--kind KIND]"}, L10nKey::cliUsageLibraryAdd},
    {{"library cleanup"}, L10nKey::cliUsageLibraryCleanup},
    {{"library export-obsidian ID --vault DIR"}, L10nKey::cliUsageLibraryExportObsidian},
    {{"library classify"}, L10nKey::cliUsageLibraryClassify},
    {{"ocr IMAGE [--text | --markdown | --json]"}, L10nKey::cliUsageOcr},
    {{"stitch FRAME.png... -o OUT.png [--no-header-crop] [--no-footer-crop]"}, L10nKey::cliUsageStitch},
    {{"super window ID [--json]", "super region WxH+X+Y [--json]"}, L10nKey::cliUsageSuper},
    {{"translate --to LANG [--from LANG]"}, L10nKey::cliUsageTranslate},
};

const std::initializer_list<UsageEntry> optionEntries = {
    {{"--config-dir DIR"}, L10nKey::cliUsageConfigDirectory},
    {{"--data-dir DIR"}, L10nKey::cliUsageDataDirectory},
    {{"--language CODE"}, L10nKey::cliUsageLanguage},
    {{"-h, --help"}, L10nKey::cliUsageHelp},
    {{"-v, --version"}, L10nKey::cliUsageVersion},
};

/// Translators break long descriptions with "\n"; every line after the first lines up under it.
void writeDescription(std::ostream& out, const std::string& description, std::size_t column) {
    std::istringstream lines(description);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (!first) {
            out << std::string(descriptionColumn, ' ');
        }
        if (first && column < descriptionColumn) {
            out << std::string(descriptionColumn - column, ' ');
        }
        out << line << "\n";
        first = false;
    }
}

void writeEntry(std::ostream& out, const UsageEntry& entry, const std::string& description) {
    std::size_t column = 0;
    std::size_t remaining = entry.forms.size();
    for (const std::string_view form : entry.forms) {
        out << indent << form;
        column = indent.size() + form.size();
        if (--remaining > 0) {
            out << "\n";
        }
    }
    // A form that reaches the description column gets its description on the lines below.
    if (column + 1 >= descriptionColumn) {
        out << "\n" << std::string(descriptionColumn, ' ');
        column = descriptionColumn;
    }
    writeDescription(out, description, column);
}

} // namespace

std::string usageText(AppLanguage language) {
    const auto text = [language](L10nKey key) { return LocalizationCatalog::text(key, language); };
    std::ostringstream out;
    out << text(L10nKey::cliUsageHeading) << " brisklet [OPTIONS] [COMMAND]\n\n";
    out << text(L10nKey::cliUsageIntroduction) << "\n\n";
    out << text(L10nKey::cliUsageCommandsHeading) << "\n";
    for (const UsageEntry& entry : commandEntries) {
        writeEntry(out, entry, text(entry.description));
    }
    out << "\n" << text(L10nKey::cliUsageOptionsHeading) << "\n";
    for (const UsageEntry& entry : optionEntries) {
        const std::string description = text(entry.description);
        writeEntry(out, entry,
                   entry.description == L10nKey::cliUsageLanguage
                       ? formatText(description, {commandLineLanguageCodes()})
                       : description);
    }
    return out.str();
}

AppLanguage usageLanguage(const CommandLine& line, std::ostream& err) {
    AppLanguage preference = AppLanguage::system;
    if (line.language) {
        preference = *line.language;
    } else {
        const XdgPaths paths({line.configDirectory, line.dataDirectory});
        JsonFileDefaultsStore defaults(JsonFileDefaultsStore::defaultFile(paths.configDirectory()),
                                       [&err](const std::string& message) { err << "brisklet: " << message << "\n"; });
        preference = PreferencesStore(defaults).load().appLanguage;
    }
    return LocalizationStore::resolve(preference, LocalizationStore::desktopPreferredLanguages());
}

} // namespace brisklet
