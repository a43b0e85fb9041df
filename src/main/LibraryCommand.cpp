#include "main/LibraryCommand.h"

#include "main/CallerThreadQueue.h"

#include "Platform/Clock.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/FFmpeg/FFmpegVideoFrameReader.h"
#include "Platform/Paths.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Memory/ClipboardTextClassifier.h"
#include "ZelvorApp/Memory/LocalVisualMemoryAnalyzer.h"
#include "ZelvorApp/Memory/ObsidianExportService.h"
#include "ZelvorApp/Memory/VideoThumbnailGenerator.h"
#include "ZelvorApp/Memory/VisualMemoryRecordingService.h"
#include "ZelvorCore/Models/VisualMemoryText.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/VisualMemoryIndexCoding.h"
#include "ZelvorCore/Stores/VisualMemorySearch.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <iterator>
#include <map>

namespace brisklet {

namespace {

namespace fs = std::filesystem;

constexpr const char* usage = "brisklet: usage: brisklet library list [--query Q] [--collection C] [--json]\n"
                              "                 brisklet library cleanup\n"
                              "                 brisklet library export-obsidian ID --vault DIR\n"
                              "                 brisklet library add FILE [--kind KIND]\n"
                              "                 brisklet library classify < TEXT\n";

// "--name VALUE" or "--name=VALUE"; returns false when `args[i]` is not this option.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::optional<std::string>& value, bool& missing) {
    if (args[i] == name) {
        if (i + 1 >= args.size()) {
            missing = true;
            return true;
        }
        value = args[++i];
        return true;
    }
    if (args[i].rfind(name + "=", 0) == 0) {
        value = args[i].substr(name.size() + 1);
        return true;
    }
    return false;
}

AppPreferences preferencesOf(LibraryCommandServices& services) {
    return PreferencesStore(services.defaults).load();
}

VisualMemoryRecordingService makeRecorder(LibraryCommandServices& services, CallerThreadQueue& queue) {
    VisualMemoryEnvironment environment{
        services.store, queue, queue, services.clock, [&services] { return preferencesOf(services); }, {}};
    return VisualMemoryRecordingService(std::move(environment), services.analyzer);
}

std::string joined(const std::vector<std::string>& values, const char* separator) {
    std::string out;
    for (const auto& value : values) {
        out += (out.empty() ? "" : separator) + value;
    }
    return out;
}

// Tabs and line breaks inside a field would break the one-line-per-item listing.
std::string oneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return out;
}

int list(const std::vector<std::string>& args, LibraryCommandServices& services, std::ostream& out, std::ostream& err) {
    std::optional<std::string> query;
    std::optional<std::string> collection;
    bool json = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        bool missing = false;
        if (takeValue(args, i, "--query", query, missing) || takeValue(args, i, "--collection", collection, missing)) {
            if (missing) {
                err << "brisklet: " << args[i] << " needs a value\n";
                return 2;
            }
        } else if (args[i] == "--json") {
            json = true;
        } else {
            err << "brisklet: unknown option " << args[i] << " for library list\n" << usage;
            return 2;
        }
    }
    const auto items = VisualMemorySearch::filter(services.store.load(), query.value_or(""), collection);
    if (json) {
        out << encodeVisualMemoryIndex(items);
        return 0;
    }
    for (const auto& item : items) {
        out << iso8601(item.createdAt) << '\t' << toString(item.kind) << '\t' << oneLine(item.summary) << '\t'
            << joined(item.visibleTags(), ",") << '\t' << item.id << '\n';
    }
    return 0;
}

int cleanup(LibraryCommandServices& services, std::ostream& out) {
    CallerThreadQueue queue("com.brisklet.library-command");
    auto recorder = makeRecorder(services, queue);
    const auto result = recorder.cleanupNow();
    out << "Removed " << result.removedItems << " item(s), freed " << result.freedBytes << " bytes; "
        << result.items.size() << " item(s) remain\n";
    return 0;
}

int exportObsidian(const std::vector<std::string>& args, LibraryCommandServices& services, std::ostream& out,
                   std::ostream& err) {
    std::optional<std::string> id;
    std::optional<std::string> vault;
    for (std::size_t i = 1; i < args.size(); ++i) {
        bool missing = false;
        if (takeValue(args, i, "--vault", vault, missing)) {
            if (missing) {
                err << "brisklet: --vault needs a directory\n";
                return 2;
            }
        } else if (!id && args[i].rfind("--", 0) != 0) {
            id = args[i];
        } else {
            err << usage;
            return 2;
        }
    }
    if (!id || !vault || vault->empty()) {
        err << usage;
        return 2;
    }
    const auto items = services.store.load();
    const auto item = std::find_if(items.begin(), items.end(), [&](const VisualMemoryItem& candidate) {
        return candidate.id == *id || candidate.url == fs::path(*id);
    });
    if (item == items.end()) {
        err << "brisklet: no library item with id " << *id << "\n";
        return 1;
    }
    const ObsidianExportService exporter(services.paths.homeDirectory(), {});
    const auto note = exporter.exportItem(*item, vault);
    if (!note) {
        err << "brisklet: Obsidian export failed: " << note.error().description << "\n";
        return 1;
    }
    out << "Note written to " << note.value().string() << "\n";
    return 0;
}

std::optional<ExportKind> kindForFile(const fs::path& file) {
    static const std::map<std::string, ExportKind> byExtension{
        {".png", ExportKind::screenshot}, {".jpg", ExportKind::screenshot}, {".jpeg", ExportKind::screenshot},
        {".gif", ExportKind::gif},        {".mp4", ExportKind::videoMP4},   {".m4v", ExportKind::videoMP4},
        {".mov", ExportKind::videoMOV},
    };
    const auto found = byExtension.find(memorytext::lowercased(file.extension().string()));
    return found == byExtension.end() ? std::nullopt : std::optional<ExportKind>(found->second);
}

int add(const std::vector<std::string>& args, LibraryCommandServices& services, std::ostream& out, std::ostream& err) {
    std::optional<std::string> file;
    std::optional<std::string> kindName;
    for (std::size_t i = 1; i < args.size(); ++i) {
        bool missing = false;
        if (takeValue(args, i, "--kind", kindName, missing)) {
            if (missing) {
                err << "brisklet: --kind needs a kind\n";
                return 2;
            }
        } else if (!file && args[i].rfind("--", 0) != 0) {
            file = args[i];
        } else {
            err << usage;
            return 2;
        }
    }
    if (!file) {
        err << usage;
        return 2;
    }
    std::optional<ExportKind> kind = kindName ? enumFromString<ExportKind>(*kindName) : kindForFile(*file);
    if (!kind || *kind == ExportKind::clipboardText) {
        err << "brisklet: " << (kindName ? "unsupported kind " + *kindName : "cannot tell the kind of " + *file)
            << "; use --kind screenshot|appshot|longshot|gif|clipboardImage|videoMP4|videoMOV\n";
        return 2;
    }
    std::error_code error;
    if (!fs::is_regular_file(*file, error)) {
        err << "brisklet: " << *file << " is not a file\n";
        return 1;
    }
    CallerThreadQueue queue("com.brisklet.library-command");
    auto recorder = makeRecorder(services, queue);
    const VisualMemorySource source;
    const auto item = recorder.recordWithoutAnalysis(fs::absolute(*file), *kind, source, true);
    if (!item) {
        err << "brisklet: " << *file << " was not recorded\n";
        return 1;
    }
    if (const auto failure = recorder.analyzeNow(*item, source)) {
        err << "brisklet: recorded without analysis: " << failure->description << "\n";
    }
    const auto items = services.store.load();
    const auto stored = std::find_if(items.begin(), items.end(), [&](const auto& c) { return c.id == item->id; });
    if (stored == items.end()) {
        err << "brisklet: the library removed " << *file << " at once (storage limit or retention)\n";
        return 1;
    }
    out << "Recorded " << stored->id << "\n"
        << "  summary: " << oneLine(stored->summary) << "\n"
        << "  tags: " << joined(stored->visibleTags(), ", ") << "\n";
    if (stored->thumbnailPath) {
        out << "  thumbnail: " << *stored->thumbnailPath << "\n";
    }
    return 0;
}

int classify(std::istream& in, std::ostream& out) {
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    out << "kind=" << toString(ClipboardTextClassifier::classify(text))
        << " sensitive=" << (looksSensitiveClipboardText(text) ? "true" : "false") << "\n";
    return 0;
}

} // namespace

int runLibraryCommand(const std::vector<std::string>& args, LibraryCommandServices& services, std::istream& in,
                      std::ostream& out, std::ostream& err) {
    const std::string verb = args.empty() ? "" : args[0];
    if (verb == "list") {
        return list(args, services, out, err);
    }
    if (verb == "cleanup" && args.size() == 1) {
        return cleanup(services, out);
    }
    if (verb == "export-obsidian") {
        return exportObsidian(args, services, out, err);
    }
    if (verb == "add") {
        return add(args, services, out, err);
    }
    if (verb == "classify" && args.size() == 1) {
        return classify(in, out);
    }
    err << usage;
    return 2;
}

int runLibraryCommand(const std::vector<std::string>& args, const Paths& paths, DefaultsStore& defaults,
                      std::istream& in, std::ostream& out, std::ostream& err,
                      VisualMemoryTextRecognition* textRecognition) {
    const SystemClock clock;
    VisualMemoryStore store(VisualMemoryStore::defaultRootDirectory(paths),
                            [&err](std::string_view line) { err << "brisklet: " << line << "\n"; });
    const LinuxImageCodec codec;
    const FFmpegVideoFrameReader frames;
    VideoThumbnailGenerator videos(frames);
    LocalVisualMemoryAnalyzer analyzer(store.thumbnailDirectory(), codec, videos, textRecognition);
    LibraryCommandServices services{store, defaults, paths, clock, analyzer};
    return runLibraryCommand(args, services, in, out, err);
}

} // namespace brisklet
