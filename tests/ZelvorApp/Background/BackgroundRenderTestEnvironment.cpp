// Painting needs a QGuiApplication; the offscreen platform provides one without a display. The
// test program's shared main knows nothing of Qt, so the application lives in a test environment.

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        if (QGuiApplication::instance() != nullptr) {
            return;
        }
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        application_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[32] = "brisklet_background_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> application_;
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
