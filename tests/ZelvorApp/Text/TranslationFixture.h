#pragma once

#include "TextTestSupport.h"

#include "Platform/Fake/CannedTranslator.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Text/TranslationBridgeController.h"

#include <gtest/gtest.h>

namespace brisklet::texttest {

/// A bridge over the canned translator with manual queues; `settle` runs both queues until
/// nothing is left.
class TranslationFixture : public ::testing::Test {
protected:
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    CannedTranslator translator;
    AppLanguage interfaceLanguage = AppLanguage::english;
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    ManualSerialQueue* session = nullptr;
    std::unique_ptr<TranslationBridgeController> controller;
    LogCapture log;

    void SetUp() override {
        localization.apply(AppLanguage::english);
        auto queue = std::make_unique<ManualSerialQueue>(TranslationBridgeController::queueLabel);
        session = queue.get();
        controller = std::make_unique<TranslationBridgeController>(translator, std::move(queue), mainQueue,
                                                                   [this] { return interfaceLanguage; });
    }

    void settle() {
        while (session->runPending() > 0 || mainQueue.pendingTaskCount() > 0) {
            mainQueue.drain();
        }
    }

    std::optional<TranslationBridgeController::TranslationResult>
    translate(const std::string& text, std::optional<std::string> source = std::nullopt,
              TranslationTargetLanguage target = TranslationTargetLanguage::spanish) {
        std::optional<TranslationBridgeController::TranslationResult> result;
        controller->translate(text, source, target,
                              [&](TranslationBridgeController::TranslationResult r) { result = std::move(r); });
        settle();
        return result;
    }
};

} // namespace brisklet::texttest
