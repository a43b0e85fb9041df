#include "main/AnnotateCommand.h"

#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace brisklet {
namespace {

class AnnotateCommandTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    LinuxImageCodec codec;
    QtAnnotationRenderer renderer{"DejaVu Sans"};
    std::ostringstream out;
    std::ostringstream err;
    std::filesystem::path image = paths.root() / "shot.png";
    std::filesystem::path items = paths.root() / "items.json";
    std::filesystem::path output = paths.root() / "out.png";

    void SetUp() override {
        Image base(120, 80);
        base.fill(250, 250, 250);
        ASSERT_TRUE(codec.writeFile(base, image, ImageFormat::png));
    }

    void writeItems(const std::string& text) { std::ofstream(items) << text; }

    int run(std::vector<std::string> args) { return runAnnotateCommand(args, codec, renderer, out, err); }
    int runStandard() { return run({image.string(), "--items", items.string(), "-o", output.string()}); }
};

constexpr const char* arrowItem =
    R"({"arrow": {"start": [10, 10], "end": [100, 60], "style": "brush",
        "color": {"red": 1, "green": 0.231, "blue": 0.188, "alpha": 1}, "lineWidth": 4}})";

TEST_F(AnnotateCommandTest, DrawsTheListedItemsIntoANewFile) {
    writeItems(std::string(R"({"items": [)") + arrowItem +
               R"(, {"number": {"center": [20, 60], "value": 3, "color": {"red": 0, "green": 0, "blue": 1, "alpha": 1},
                     "diameter": 24}}]})");
    ASSERT_EQ(runStandard(), 0) << err.str();
    EXPECT_EQ(out.str(), "Annotated 2 items into " + output.string() + "\n");
    const auto written = codec.readFile(output);
    ASSERT_TRUE(written);
    EXPECT_EQ(written.value().width(), 120);
    const std::uint8_t* onArrow = written.value().row(35) + 55 * 4;
    EXPECT_GT(onArrow[0], 200);
    EXPECT_LT(onArrow[1], 120) << "the arrow's red is on the shaft";
    const std::uint8_t* onNumber = written.value().row(66) + 20 * 4;
    EXPECT_GT(onNumber[2], 200);
}

TEST_F(AnnotateCommandTest, BadItemsAreNamedAndNothingIsWritten) {
    writeItems(std::string(R"({"items": [)") + arrowItem +
               R"(, {"arrow": {"start": [0, 0], "end": [5, 5], "style": "brush",
                     "color": {"red": 1, "green": 0, "blue": 0, "alpha": 1}, "lineWidth": -2}}]})");
    EXPECT_EQ(runStandard(), 1);
    EXPECT_NE(err.str().find("items[1] (arrow): lineWidth"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(output));

    err.str("");
    writeItems(R"({"items": [{"sparkle": {}}]})");
    EXPECT_EQ(runStandard(), 1);
    EXPECT_NE(err.str().find("items[0] (sparkle): unknown annotation kind"), std::string::npos) << err.str();

    err.str("");
    writeItems(R"({"items": [)");
    EXPECT_EQ(runStandard(), 1);
    EXPECT_NE(err.str().find("not valid JSON"), std::string::npos);

    err.str("");
    writeItems(R"([])");
    EXPECT_EQ(runStandard(), 1);
    EXPECT_NE(err.str().find("\"items\" array"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(paths.root()) == false);
    for (const auto& entry : std::filesystem::directory_iterator(paths.root())) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << "no leftovers";
    }
}

TEST_F(AnnotateCommandTest, NeverOverwritesAndExplainsItsUsage) {
    writeItems(std::string(R"({"items": [)") + arrowItem + "]}");
    std::ofstream(output) << "precious";
    EXPECT_EQ(runStandard(), 1);
    EXPECT_NE(err.str().find("already exists"), std::string::npos);
    std::ifstream in(output);
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "precious");

    EXPECT_EQ(run({image.string(), "--items", items.string()}), 2);
    EXPECT_EQ(run({image.string(), "--items"}), 2);
    EXPECT_EQ(run({image.string(), "extra.png", "--items", items.string(), "-o", "x.png"}), 2);
    EXPECT_NE(err.str().find("usage: brisklet annotate IMAGE --items ITEMS.json -o OUT.png"), std::string::npos);

    const auto missing = paths.root() / "missing.png";
    EXPECT_EQ(run({missing.string(), "--items=" + items.string(), "--output=" + (paths.root() / "new.png").string()}),
              1);
    EXPECT_NE(err.str().find("cannot read the image"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(paths.root() / "new.png"));
}

TEST_F(AnnotateCommandTest, TheHeadlessEntryUsesTheRunningApplicationAndRealBackends) {
    writeItems(std::string(R"({"items": [)") + arrowItem + "]}");
    ASSERT_EQ(runAnnotateCommandHeadless(
                  {image.string(), "--items", items.string(), "-o", output.string(), "--enhance"}, out, err),
              0)
        << err.str();
    EXPECT_EQ(codec.readPixelSize(output), (PixelSize{120, 80}));
}

} // namespace
} // namespace brisklet
