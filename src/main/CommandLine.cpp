#include "main/CommandLine.h"

#ifndef BRISKLET_VERSION
#define BRISKLET_VERSION "0.0.0"
#endif

namespace brisklet {

namespace {

bool takeDirectoryOption(const std::string& arg, const char* name, int& i, int argc, const char* const* argv,
                         std::optional<std::filesystem::path>& out, std::optional<std::string>& error) {
    const std::string prefix = std::string(name) + "=";
    if (arg.rfind(prefix, 0) == 0) {
        out = arg.substr(prefix.size());
    } else if (arg == name) {
        if (i + 1 >= argc) {
            error = std::string(name) + " needs a directory";
            return true;
        }
        out = argv[++i];
    } else {
        return false;
    }
    if (out->empty()) {
        error = std::string(name) + " needs a directory";
    } else {
        out = std::filesystem::absolute(*out);
    }
    return true;
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc && !line.error; ++i) {
        const std::string arg = argv[i];
        if (!line.command.empty()) {
            line.command.push_back(arg);
        } else if (arg == "--help" || arg == "-h") {
            line.showHelp = true;
        } else if (arg == "--version" || arg == "-v") {
            line.showVersion = true;
        } else if (takeDirectoryOption(arg, "--config-dir", i, argc, argv, line.configDirectory, line.error) ||
                   takeDirectoryOption(arg, "--data-dir", i, argc, argv, line.dataDirectory, line.error)) {
            continue;
        } else if (arg.rfind("-", 0) == 0) {
            line.error = "unknown option " + arg;
        } else {
            line.command.push_back(arg);
        }
    }
    return line;
}

std::string versionText() {
    return std::string("brisklet ") + BRISKLET_VERSION + "\n";
}

std::string usageText() {
    return "Usage: brisklet [OPTIONS] [COMMAND]\n"
           "\n"
           "Screen capture, annotation and visual memory for the Linux desktop.\n"
           "Without a command, the tray application starts (it needs an X11 display); a second start\n"
           "hands over to the running one. 'brisklet action NAME' runs an action in it.\n"
           "\n"
           "Commands:\n"
           "  action NAME          Run an action (screenshot, longshot, openSettings, quit, ...) in the running\n"
           "                       application, starting it first; 'action --list' lists the names\n"
           "  prefs show           Print the effective preferences as JSON\n"
           "  prefs export FILE    Write a backup of the preferences to FILE (never overwrites)\n"
           "  prefs import FILE    Replace the stored preferences with the document in FILE\n"
           "  prefs reset          Forget the stored preferences; the defaults apply again\n"
           "  annotate IMAGE --items ITEMS.json -o OUT.png [--enhance]\n"
           "                       Draw the annotations listed in ITEMS.json onto IMAGE into a new PNG\n"
           "  background IMAGE -o OUT.png [--preset ID | --color '#RRGGBB' | --image FILE | --wallpaper]\n"
           "             [--template NAME] [--frame STYLE] [--aspect auto|1:1|4:5|16:9|9:16|W:H] [--padding N]\n"
           "             [--shadow 0-100] [--corner N] [--align NAME] [--brightness X] [--blur N] [--window]\n"
           "                       Put IMAGE on a decorative canvas into a new PNG; 'background --list' lists choices\n"
           "  capture full [--screen N] [-o FILE.png]\n"
           "  capture region WxH+X+Y [-o FILE.png]\n"
           "  capture window ID [-o FILE.png]\n"
           "                       Capture a screen, a region (pixels from the top-left of the X screen) or a\n"
           "                       window; without -o the file goes to the export directory\n"
           "  windows [--json]     List the other applications' windows, front to back\n"
           "  gif FRAME.png... [--fps N] [--duration S] [--timestamps FILE.json] [--background PRESET] -o OUT.gif\n"
           "                       Encode frames into a looping GIF with the recorder's timing, optionally on a\n"
           "                       background preset (never overwrites)\n"
           "  record WxH+X+Y [--fps N] [--duration S] [--no-cursor] [--no-clicks] [-o OUT.gif]\n"
           "                       Record a region of the X screen into a GIF until the length limit or\n"
           "                       Ctrl+C; without -o the file goes to the export directory\n"
           "  record WxH+X+Y --format mp4|mov [--quality low|medium|high] [--audio] [--duration S] [-o FILE]\n"
           "                       Record a region as an H.264 video (with the default output's sound when\n"
           "                       --audio is given) until the duration or Ctrl+C; never overwrites\n"
           "  library list [--query Q] [--collection C] [--json]\n"
           "                       List the visual memory, newest first, optionally searched or by collection\n"
           "  library add FILE [--kind KIND]\n"
           "                       Record FILE in the visual memory and analyse it (kind, summary, tags, text)\n"
           "  library cleanup      Remove missing, expired and over-limit items\n"
           "  library export-obsidian ID --vault DIR\n"
           "                       Write the item as a note (with its files) into an Obsidian vault\n"
           "  library classify     Read text on standard input; print its kind and whether it looks sensitive\n"
           "  ocr IMAGE [--text | --markdown | --json]\n"
           "                       Print the text recognised in IMAGE (PNG or JPEG; - reads standard input)\n"
           "  stitch FRAME.png... -o OUT.png [--no-header-crop] [--no-footer-crop]\n"
           "                       Stitch screenshots of a scrolled page into one tall PNG (never overwrites)\n"
           "  translate --to LANG [--from LANG]\n"
           "                       Translate standard input offline (LANG: auto, zh-Hans, en, ja, ko, fr, de, es)\n"
           "\n"
           "Options:\n"
           "  --config-dir DIR     Use DIR instead of $XDG_CONFIG_HOME (defaults file: DIR/Brisklet/defaults.json)\n"
           "  --data-dir DIR       Use DIR instead of $XDG_DATA_HOME (library and logs: DIR/Brisklet/...)\n"
           "  -h, --help           Show this help\n"
           "  -v, --version        Show the version\n";
}

std::optional<int> answerWithoutCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
    if (line.error) {
        err << "brisklet: " << *line.error << "\nTry 'brisklet --help'.\n";
        return 2;
    }
    if (line.showHelp) {
        out << usageText();
        return 0;
    }
    if (line.showVersion) {
        out << versionText();
        return 0;
    }
    return std::nullopt;
}

} // namespace brisklet
