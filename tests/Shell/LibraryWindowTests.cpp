#include "Shell/Library/LibraryQuickLookOverlay.h"
#include "Shell/Library/QtVisualMemoryLibrary.h"
#include "Shell/Library/TagFlowWidget.h"
#include "Shell/Library/VisualMemoryDetailPanel.h"
#include "Shell/Library/VisualMemoryLibraryWindow.h"
#include "Shell/Library/VisualMemoryMasonryView.h"
#include "ZelvorApp/Control/AppHarness.h"
#include "ZelvorApp/Library/VisualMemoryImageMetrics.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace brisklet {
namespace {

namespace fs = std::filesystem;
using control_testing::AppHarness;

/// The real library window on the controller of fakes, with pictures of known sizes on disk.
class LibraryWindowTest : public ::testing::Test {
protected:
    LibraryWindowTest() { harness.ports.libraryWindow = &library->port(); }

    void SetUp() override {
        addPicture("wide.png", 1600, 400, 30, [](VisualMemoryItem& item) { item.tags = {"invoice"}; });
        addPicture("tall.png", 300, 900, 20, [](VisualMemoryItem& item) {
            item.isFavorite = true;
            item.sourceApp = "Firefox";
        });
        addPicture("square.png", 500, 500, 10, [](VisualMemoryItem&) {});
        const fs::path note = harness.paths.root() / "note.txt";
        std::ofstream(note) << "remember the milk";
        VisualMemoryItem text = VisualMemoryItem::forFile(note, ExportKind::clipboardText, recent(40));
        text.summary = "remember the milk";
        text.ocrText = "remember the milk";
        harness.store.upsert(text);
        harness.model.setVisualMemoryItems(harness.store.load());
        controller = &harness.makeController();
    }

    void addPicture(const std::string& name, int width, int height, double created,
                    const std::function<void(VisualMemoryItem&)>& change) {
        const fs::path file = harness.paths.root() / name;
        Image image(width, height);
        image.fill(40, 120, 200);
        ASSERT_TRUE(harness.codec.writeFile(image, file, ImageFormat::png));
        VisualMemoryItem item = VisualMemoryItem::forFile(file, ExportKind::screenshot, recent(created));
        item.summary = name;
        change(item);
        harness.store.upsert(item);
    }

    /// Within the retention period, so the clean-up after the window opens keeps it.
    Date recent(double seconds) const { return harness.clock.now().addingSeconds(seconds - 1000); }

    VisualMemoryLibraryWindow& open() {
        controller->openVisualLibrary();
        auto& window = library->window();
        window.resize(1200, 760);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        return window;
    }

    std::vector<std::string> displayed() const {
        std::vector<std::string> names;
        for (const auto& item : library->viewModel().displayedItems()) {
            names.push_back(item.url.filename().string());
        }
        return names;
    }

    std::optional<VisualMemoryItem> stored(const std::string& name) const {
        for (const auto& item : harness.store.load()) {
            if (item.url.filename() == name) {
                return item;
            }
        }
        return std::nullopt;
    }

    void clickCard(VisualMemoryLibraryWindow& window, const std::string& name,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const auto index = library->viewModel().displayedIndex((harness.paths.root() / name).string());
        ASSERT_TRUE(index.has_value()) << name;
        QTest::mouseClick(window.grid()->viewport(), Qt::LeftButton, modifiers,
                          window.grid()->cardRect(*index).center());
    }

    AppHarness harness;
    VisualMemoryImageMetrics metrics{harness.codec};
    ManualSerialQueue metricsQueue{"metrics"};
    std::unique_ptr<QtVisualMemoryLibrary> library = std::make_unique<QtVisualMemoryLibrary>(
        QtVisualMemoryLibrary::Dependencies{harness.model, harness.localization, harness.defaults, harness.alerts,
                                            harness.host, metrics, metricsQueue,
                                            [this](std::function<void()> task) { harness.mainQueue.post(std::move(task)); },
                                            harness.paths.root()},
        [this] { return controller; });
    AppController* controller = nullptr;
};

TEST_F(LibraryWindowTest, SidebarCountsFiltersAndSearchNarrowTheGrid) {
    auto& window = open();
    QListWidget* sidebar = window.sidebar();
    ASSERT_EQ(sidebar->count(), 6); // all, favourites, pinned, untagged, Firefox, invoice
    std::vector<std::pair<QString, int>> rows;
    for (int i = 0; i < sidebar->count(); ++i) {
        rows.emplace_back(sidebar->item(i)->text(), sidebar->item(i)->data(VisualMemoryLibraryWindow::countRole).toInt());
    }
    EXPECT_EQ(rows, (std::vector<std::pair<QString, int>>{{"All Items", 4},
                                                           {"Favorites", 1},
                                                           {"Pinned", 0},
                                                           {"Untagged", 3},
                                                           {"Firefox", 1},
                                                           {"invoice", 1}}));
    EXPECT_EQ(displayed(), (std::vector<std::string>{"note.txt", "wide.png", "tall.png", "square.png"}));

    QTest::mouseClick(window.filterButton(VisualMemoryLibraryContentFilter::text), Qt::LeftButton);
    EXPECT_EQ(displayed(), (std::vector<std::string>{"note.txt"}));
    QTest::mouseClick(window.filterButton(VisualMemoryLibraryContentFilter::image), Qt::LeftButton);
    EXPECT_EQ(displayed(), (std::vector<std::string>{"wide.png", "tall.png", "square.png"}));
    sidebar->setCurrentRow(1);
    EXPECT_EQ(displayed(), (std::vector<std::string>{"tall.png"}));
    sidebar->setCurrentRow(0);
    QTest::keyClicks(window.searchField(), "WIDE");
    EXPECT_EQ(displayed(), (std::vector<std::string>{"wide.png"}));
    window.grid()->grab();
    EXPECT_EQ(window.grid()->paintedCardCount(), 1);
    EXPECT_TRUE(harness.log.mentions("visualLibrary search query=WIDE items=1"));
}

TEST_F(LibraryWindowTest, ACaptureTakenWhileTheWindowIsHiddenShowsWhenItComesBack) {
    open();
    AppWindowPort& port = library->port();
    port.hide();
    addPicture("later.png", 800, 600, 90, [](VisualMemoryItem&) {});
    harness.model.setVisualMemoryItems(harness.store.load());
    EXPECT_EQ(displayed().size(), 4u) << "nothing is worked out while hidden";
    port.show();
    EXPECT_EQ(displayed().front(), "later.png");
    EXPECT_EQ(library->window().sidebar()->item(0)->data(VisualMemoryLibraryWindow::countRole).toInt(), 5);
}

TEST_F(LibraryWindowTest, CardsFollowTheMasonryRuleAndTheColumnWidth) {
    auto& window = open();
    window.sizeSlider()->setValue(200);
    VisualMemoryMasonryView* grid = window.grid();
    const double width = grid->availableWidth();
    const double spacing = VisualMemoryLibraryViewModel::spacing;
    const int columns = std::max(1, static_cast<int>((width + spacing) / (200 + spacing)));
    const double column = (width - spacing * (columns - 1)) / columns;
    ASSERT_GE(columns, 3);
    const auto height = [column](double ratio) { return std::clamp(column / ratio, 110.0, 440.0); };
    // Newest first: the note (4:3), the panorama (4:1, clamped), the strip (1:3, clamped), the square.
    const std::vector<double> expected{height(4.0 / 3), height(4.0), height(1.0 / 3), height(1.0)};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const QRect card = grid->cardRect(i);
        EXPECT_NEAR(card.height(), expected[i], 1.0) << i;
        EXPECT_NEAR(card.width(), column, 1.0) << i;
    }
    EXPECT_NEAR(grid->cardRect(1).x() - grid->cardRect(0).x(), column + spacing, 1.0);
    if (columns == 3) {
        EXPECT_NEAR(grid->cardRect(3).x(), grid->cardRect(1).x(), 1.0) << "under the shortest column";
        EXPECT_NEAR(grid->cardRect(3).y() - grid->cardRect(1).y(), expected[1] + spacing, 1.0);
    }
    window.sizeSlider()->setValue(440);
    const int fewer = std::max(1, static_cast<int>((width + spacing) / (440 + spacing)));
    EXPECT_NEAR(grid->cardRect(0).width(), (width - spacing * (fewer - 1)) / fewer, 1.0) << "wider cards, fewer columns";
    EXPECT_EQ(harness.defaults.string(VisualMemoryLibraryViewModel::thumbnailWidthKey), std::optional<std::string>("440"));
}

TEST_F(LibraryWindowTest, DeleteAsksAndRemovesTheItemFromTheStoreAndDisk) {
    auto& window = open();
    clickCard(window, "square.png");
    clickCard(window, "tall.png", Qt::ControlModifier);
    EXPECT_EQ(library->viewModel().selectedIDs().size(), 2u);
    QTest::keyClick(window.grid(), Qt::Key_Delete);
    ASSERT_EQ(harness.alerts.alerts.size(), 1u);
    EXPECT_EQ(harness.alerts.alerts[0].message, "2 items and their files will be deleted. This cannot be undone.");
    harness.alerts.answer(1);
    EXPECT_TRUE(stored("square.png").has_value()) << "cancelled";
    QTest::keyClick(window.grid(), Qt::Key_Delete);
    harness.alerts.answer(0);
    EXPECT_FALSE(stored("square.png").has_value());
    EXPECT_FALSE(stored("tall.png").has_value());
    EXPECT_FALSE(fs::exists(harness.paths.root() / "square.png"));
    EXPECT_EQ(displayed(), (std::vector<std::string>{"note.txt", "wide.png"}));
    EXPECT_EQ(window.sidebar()->item(0)->data(VisualMemoryLibraryWindow::countRole).toInt(), 2);
}

TEST_F(LibraryWindowTest, TagEditorAddsAndRemovesTagsInTheStore) {
    auto& window = open();
    clickCard(window, "wide.png");
    QLineEdit* field = window.detail()->tagField();
    QTest::keyClicks(field, "#Tax Return#, invoice");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(stored("wide.png")->manualTags, (std::vector<std::string>{"tax-return"}));
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(window.detail()->tags()->tagNames(), (QStringList{"invoice", "tax-return"}));

    auto* chip = window.detail()->tags()->findChild<QToolButton*>(QStringLiteral("tag:invoice"));
    ASSERT_NE(chip, nullptr);
    QTest::mouseClick(chip, Qt::LeftButton);
    EXPECT_EQ(stored("wide.png")->removedAutoTags, (std::vector<std::string>{"invoice"})) << "automatic: hidden";
    EXPECT_EQ(stored("wide.png")->tags, (std::vector<std::string>{"invoice"}));
    chip = window.detail()->tags()->findChild<QToolButton*>(QStringLiteral("tag:tax-return"));
    ASSERT_NE(chip, nullptr);
    QTest::mouseClick(chip, Qt::LeftButton);
    EXPECT_TRUE(stored("wide.png")->manualTags.empty());
    EXPECT_EQ(window.sidebar()->count(), 5) << "the invoice collection is gone";

    QTest::mouseClick(window.detail()->actionButton(QStringLiteral("favorite")), Qt::LeftButton);
    EXPECT_TRUE(stored("wide.png")->isFavorite);
    EXPECT_EQ(window.detail()->actionButton(QStringLiteral("favorite"))->text(), "Remove from Favorites");
}

TEST_F(LibraryWindowTest, KeyboardMovesTheSelectionAndSpaceOpensTheQuickLook) {
    auto& window = open();
    QTest::keyClick(window.grid(), Qt::Key_Home);
    EXPECT_EQ(library->viewModel().selectedItem()->url.filename(), "note.txt");
    QTest::keyClick(window.grid(), Qt::Key_Right);
    EXPECT_EQ(library->viewModel().selectedItem()->url.filename(), "wide.png");
    QTest::keyClick(window.grid(), Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(library->viewModel().selectedIDs().size(), 3u);
    QTest::keyClick(window.grid(), Qt::Key_Left);
    QTest::keyClick(window.grid(), Qt::Key_Space);
    EXPECT_TRUE(window.quickLook()->isVisible());
    QTest::keyClick(window.quickLook(), Qt::Key_Right);
    EXPECT_EQ(library->viewModel().selectedItem()->url.filename(), "square.png") << "arrows work in the preview";
    QTest::keyClick(window.quickLook(), Qt::Key_Escape);
    EXPECT_FALSE(window.quickLook()->isVisible());
    EXPECT_TRUE(window.grid()->hasFocus()) << "the keys go back to the grid";
    QTest::keyClick(window.grid(), Qt::Key_Return);
    EXPECT_EQ(harness.host.opened.size(), 1u);
    QTest::keyClick(window.grid(), Qt::Key_Home);
    QToolButton* copyText = window.detail()->actionButton(QStringLiteral("copyText"));
    ASSERT_TRUE(copyText->isEnabled());
    QTest::mouseClick(copyText, Qt::LeftButton);
    EXPECT_EQ(harness.pasteboard.readText(), std::optional<std::string>("remember the milk"));
    clickCard(window, "wide.png");
    EXPECT_FALSE(copyText->isEnabled()) << "a picture without recognised text";
}

TEST_F(LibraryWindowTest, SizeCollectionAndAppearanceAreRestoredAndFollowed) {
    auto& window = open();
    window.sidebar()->setCurrentRow(4);
    window.move(40, 30);
    window.resize(1100, 700);
    window.close();
    auto second = std::make_unique<QtVisualMemoryLibrary>(
        QtVisualMemoryLibrary::Dependencies{harness.model, harness.localization, harness.defaults, harness.alerts,
                                            harness.host, metrics, metricsQueue, [](std::function<void()>) {},
                                            harness.paths.root()},
        [this] { return controller; });
    second->port().present();
    EXPECT_EQ(second->viewModel().selectedCollection(), std::optional<std::string>("Firefox"));
    EXPECT_EQ(second->window().sidebar()->currentRow(), 4);
    EXPECT_EQ(second->window().size(), QSize(1100, 700));

    controller->updatePreferences([](AppPreferences& p) { p.visualAppearanceMode = VisualAppearanceMode::dark; });
    EXPECT_TRUE(second->window().styleSheet().contains(ShellAppearance::darkAppearance().window.name()));
    controller->updatePreferences([](AppPreferences& p) { p.visualAppearanceMode = VisualAppearanceMode::light; });
    EXPECT_TRUE(second->window().styleSheet().contains(ShellAppearance::light().window.name()));
}

TEST_F(LibraryWindowTest, ManyItemsPaintOnlyTheVisibleCards) {
    const fs::path picture = harness.paths.root() / "square.png";
    for (int i = 0; i < 400; ++i) {
        VisualMemoryItem item = VisualMemoryItem::forFile(harness.paths.root() / ("copy-" + std::to_string(i) + ".png"),
                                                          ExportKind::screenshot, recent(100.0 + i));
        item.thumbnailPath = picture.string();
        harness.store.upsert(item);
    }
    harness.model.setVisualMemoryItems(harness.store.load());
    auto& window = open();
    library->prewarm();
    EXPECT_EQ(metricsQueue.runPending(), 1);
    harness.mainQueue.drain();
    EXPECT_TRUE(harness.log.mentions("visualMemory aspect ratios prewarmed items=404 elapsedMs="));
    window.grid()->grab();
    EXPECT_GT(window.grid()->paintedCardCount(), 0);
    EXPECT_LT(window.grid()->paintedCardCount(), 40);
}

} // namespace
} // namespace brisklet
