#pragma once

#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace brisklet::testing {

/// Routes RuntimeLogger into a temporary directory while it lives and reads the lines back
/// without their time and session stamps.
class CapturedLog {
public:
    CapturedLog() { RuntimeLogger::install(writer_); }
    ~CapturedLog() { RuntimeLogger::uninstall(); }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    std::vector<std::string> lines() {
        writer_->flush();
        std::ifstream in(writer_->fileURL());
        std::vector<std::string> result;
        for (std::string line; std::getline(in, line);) {
            const auto end = line.find("] ", line.find("[session"));
            result.push_back(end == std::string::npos ? line : line.substr(end + 2));
        }
        return result;
    }

    /// The lines that start with `prefix`.
    std::vector<std::string> linesStartingWith(const std::string& prefix) {
        std::vector<std::string> result;
        for (const auto& line : lines()) {
            if (line.rfind(prefix, 0) == 0) {
                result.push_back(line);
            }
        }
        return result;
    }

    /// Whether any line contains `text` anywhere.
    bool mentions(const std::string& text) {
        for (const auto& line : lines()) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

private:
    ManualClock clock_;
    TemporaryPaths paths_;
    std::shared_ptr<RuntimeLogWriter> writer_ =
        std::make_shared<RuntimeLogWriter>(std::make_unique<ManualSerialQueue>(RuntimeLogWriter::queueLabel), clock_,
                                           paths_.root() / "Logs", [] { return RuntimeLogWriter::InitialState{}; });
};

} // namespace brisklet::testing
