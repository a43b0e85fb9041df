#pragma once

namespace brisklet {

class CommandSession;
struct CommandLine;

/// Runs the tray application until it is told to quit (tray menu, `brisklet action quit`,
/// SIGTERM). Returns the process's exit status.
int runApplication(int argc, char** argv, const CommandLine& line, CommandSession& session);

} // namespace brisklet
