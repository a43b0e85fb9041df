#pragma once

#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace brisklet::testing_support {

/// Makes manual serial queues and keeps hold of them by label, so a test can run each one.
class ManualSerialQueueFactory final : public SerialQueueFactory {
public:
    std::unique_ptr<SerialQueue> makeQueue(const std::string& label) override {
        auto queue = std::make_unique<ManualSerialQueue>(label);
        queues_[label] = queue.get();
        return queue;
    }
    ManualSerialQueue& queue(const std::string& label) { return *queues_.at(label); }

private:
    std::map<std::string, ManualSerialQueue*> queues_;
};

/// Routes RuntimeLogger into a temporary directory for the lifetime of the object and reads the
/// lines back without their time stamps.
class CapturedLog {
public:
    CapturedLog() {
        writer_ = std::make_shared<RuntimeLogWriter>(std::make_unique<ManualSerialQueue>(RuntimeLogWriter::queueLabel),
                                                     clock_, paths_.root() / "Logs",
                                                     [] { return RuntimeLogWriter::InitialState{}; });
        RuntimeLogger::install(writer_);
    }
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

private:
    TemporaryPaths paths_;
    ManualClock clock_;
    std::shared_ptr<RuntimeLogWriter> writer_;
};

} // namespace brisklet::testing_support
