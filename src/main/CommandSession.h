#pragma once

#include "Platform/Clock.h"
#include "Platform/Linux/System/JsonFileDefaultsStore.h"
#include "Platform/Linux/System/XdgPaths.h"

#include <memory>

namespace brisklet {

struct CommandLine;
class DefaultsProblemReporter;

/// What every command runs with: the user's directories (or those given with --config-dir and
/// --data-dir), the stored preferences file, the runtime log and the interface language. One per
/// process; the log is flushed and closed when it ends.
class CommandSession {
public:
    explicit CommandSession(const CommandLine& line);
    ~CommandSession();
    CommandSession(const CommandSession&) = delete;
    CommandSession& operator=(const CommandSession&) = delete;

    const XdgPaths& paths() const { return paths_; }
    JsonFileDefaultsStore& defaults() { return defaults_; }

private:
    XdgPaths paths_;
    std::shared_ptr<DefaultsProblemReporter> reporter_;
    JsonFileDefaultsStore defaults_;
    SystemClock clock_;
};

} // namespace brisklet
