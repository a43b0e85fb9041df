#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Shell/Thumbnails/FloatingThumbnailCard.h"
#include "Shell/Thumbnails/FloatingThumbnailPanel.h"
#include "Shell/Thumbnails/QtFloatingThumbnails.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailManager.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailManagerDelegate.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace brisklet {
namespace {

class RecordingDelegate final : public FloatingThumbnailManagerDelegate {
public:
    bool handle(FloatingThumbnailAction action, const FloatingThumbnailItem&) override {
        actions.push_back(action);
        return true;
    }
    std::vector<FloatingThumbnailAction> actions;
};

/// The real stack window on fakes: exports shown as cards in the bottom-right corner.
class FloatingThumbnailPanelTest : public ::testing::Test {
protected:
    void SetUp() override { thumbnails.setDelegate(&delegate); }
    void TearDown() override { mainQueue.drain(); }

    ExportedAsset savedPicture(const std::string& name) {
        Image image(800, 500);
        image.fill(53, 132, 228);
        const auto url = paths.root() / name;
        EXPECT_TRUE(codec.writeFile(image, url, ImageFormat::png));
        return ExportedAsset{url, ExportKind::screenshot, clock.now(), std::nullopt};
    }
    void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    TemporaryPaths paths;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    LinuxImageCodec codec;
    AppModel model;
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    RecordingDelegate delegate;
    QtFloatingThumbnails thumbnails{{codec, mainQueue, clock, model, localization, paths.root()}};
};

TEST_F(FloatingThumbnailPanelTest, CardsStackInTheCornerAndTheNewestIsNearest) {
    thumbnails.present(savedPicture("a.png"), {}, {});
    thumbnails.present(savedPicture("b.png"), {}, {});
    FloatingThumbnailPanel& panel = thumbnails.panel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(panel.geometry().right(), area.right() - FloatingThumbnailPanel::margin);
    EXPECT_EQ(panel.geometry().bottom(), area.bottom() - FloatingThumbnailPanel::margin);
    ASSERT_EQ(panel.cards().size(), 2u);
    const auto& items = thumbnails.manager().items();
    EXPECT_EQ(panel.cards()[0]->itemID(), items[0].id);
    EXPECT_GT(panel.cards()[0]->y(), panel.cards()[1]->y()) << "the newest is lowest, by the bottom corner";
    EXPECT_FALSE(panel.mask().contains(QPoint(10, FloatingThumbnailCard::cardHeight + 4)))
        << "clicks between the cards reach the windows below";
    EXPECT_TRUE(panel.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(panel.windowFlags() & Qt::WindowDoesNotAcceptFocus);
}

TEST_F(FloatingThumbnailPanelTest, ButtonsActOnTheirCardAndTheCardLeavesAfterItsDelay) {
    thumbnails.present(savedPicture("a.png"), {}, {});
    FloatingThumbnailPanel& panel = thumbnails.panel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    FloatingThumbnailCard* card = panel.cards().at(0);
    auto* copy = card->findChild<QToolButton*>(QStringLiteral("floatingThumbnail_copy"));
    ASSERT_NE(copy, nullptr);
    copy->click();
    settle();
    ASSERT_EQ(delegate.actions, std::vector<FloatingThumbnailAction>{FloatingThumbnailAction::copy});
    EXPECT_TRUE(thumbnails.manager().items().empty()) << "a carried-out action takes the card away";
    EXPECT_FALSE(panel.isVisible());

    thumbnails.configure(FloatingThumbnailPosition::bottomRight, 3);
    thumbnails.present(savedPicture("b.png"), {}, {});
    mainQueue.runFor(2.9);
    EXPECT_EQ(thumbnails.manager().items().size(), 1u);
    mainQueue.runFor(0.2);
    EXPECT_TRUE(thumbnails.manager().items().empty()) << "gone after the delay";
    EXPECT_FALSE(panel.isVisible());
}

} // namespace
} // namespace brisklet
