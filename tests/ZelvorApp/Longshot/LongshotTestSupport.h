#pragma once

#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "support/CapturedLog.h"

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace brisklet::testing_support {

using testing::CapturedLog;

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

} // namespace brisklet::testing_support
