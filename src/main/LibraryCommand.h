#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class Clock;
class DefaultsStore;
class Paths;
class VisualMemoryAnalyzer;
class VisualMemoryStore;
class VisualMemoryTextRecognition;

/// What the library commands work with.
struct LibraryCommandServices {
    VisualMemoryStore& store;
    /// Holds the preferences (retention, storage limit).
    DefaultsStore& defaults;
    const Paths& paths;
    const Clock& clock;
    VisualMemoryAnalyzer& analyzer;
};

/// "brisklet library list [--query Q] [--collection C] [--json] | cleanup |
/// export-obsidian ID --vault DIR | add FILE [--kind KIND] | classify". Returns the exit code.
int runLibraryCommand(const std::vector<std::string>& args, LibraryCommandServices& services, std::istream& in,
                      std::ostream& out, std::ostream& err);

/// The same with the desktop's real services: the library under `paths`, the system clock, and
/// the Linux image and video backends. Text is recognised only when `textRecognition` is given.
int runLibraryCommand(const std::vector<std::string>& args, const Paths& paths, DefaultsStore& defaults,
                      std::istream& in, std::ostream& out, std::ostream& err,
                      VisualMemoryTextRecognition* textRecognition = nullptr);

} // namespace brisklet
