#include "SuperScreenshotTestSupport.h"

#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageNaming.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriter.h"
#include "ZelvorCore/Foundation/Utf8.h"
#include "support/ScopedTimeZone.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <functional>

namespace brisklet {
namespace {

using namespace superscreenshot_testing;
using N = KnowledgePackageNaming;

// 2023-11-14 22:13:20 UTC.
constexpr Date createdAt{1'700'000'000};

Image picture() {
    Image image(6, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            image.setPixel(x, y, static_cast<std::uint8_t>(40 * x), static_cast<std::uint8_t>(60 * y), 200);
        }
    }
    return image;
}

KnowledgePackageContent content(std::optional<std::string> windowTitle) {
    KnowledgePackageContent result;
    result.capture = {SuperScreenshotCaptureMode::window, Rect{{10, 20}, {300, 200}}};
    result.source.appName = "Notes";
    result.source.processIdentifier = 4242;
    result.source.windowID = 77;
    result.source.windowTitle = std::move(windowTitle);
    result.ocrText = "\u65E5\u672C\u8A9E text"; // 8 characters, 14 bytes
    result.accessibility = {"Notes\n  Body", 2, false};
    result.createdAt = createdAt;
    return result;
}

/// A codec whose encoder runs a hook first, to let a test meddle with the package as it is written.
class HookedCodec final : public ImageCodec {
public:
    std::function<bool()> beforeEncode; // false: the encoder fails

    bool supports(ImageFormat) const override { return true; }
    Result<std::string, ImageCodecError> encode(const Image& image, ImageFormat format, double quality) const override {
        if (beforeEncode && !beforeEncode()) {
            return Result<std::string, ImageCodecError>::failure(ImageCodecError::encodeFailed);
        }
        return real_.encode(image, format, quality);
    }
    Result<Image, ImageCodecError> decode(std::string_view bytes) const override { return real_.decode(bytes); }
    Status<ImageCodecError> writeFile(const Image& image, const fs::path& file, ImageFormat format,
                                      double quality) const override {
        return real_.writeFile(image, file, format, quality);
    }
    Result<Image, ImageCodecError> readFile(const fs::path& file) const override { return real_.readFile(file); }
    std::optional<PixelSize> readPixelSize(const fs::path& file) const override { return real_.readPixelSize(file); }

private:
    LinuxImageCodec real_;
};

class KnowledgePackageWriterTest : public ::testing::Test {
protected:
    fs::path packages() const { return paths_.root() / "VisualMemory" / "Packages"; }
    KnowledgePackageResult write(const KnowledgePackageContent& input) {
        auto result = writer_.write(picture(), input);
        EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error().description());
        return result.ok() ? result.value() : KnowledgePackageResult{};
    }

    TemporaryPaths paths_;
    LinuxImageCodec codec_;
    KnowledgePackageWriter writer_{paths_.root() / "VisualMemory", codec_};
};

void expectKeysSortedEverywhere(const nlohmann::ordered_json& value, const std::string& where) {
    if (value.is_object()) {
        std::vector<std::string> keys;
        for (const auto& [key, element] : value.items()) {
            keys.push_back(key);
            expectKeysSortedEverywhere(element, where + "." + key);
        }
        EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << where;
    } else if (value.is_array()) {
        for (const auto& element : value) {
            expectKeysSortedEverywhere(element, where + "[]");
        }
    }
}

TEST(KnowledgePackageNamingTest, SafeFilenameCleansHostileTitles) {
    EXPECT_EQ(N::safeFilename("///::"), "-----");
    EXPECT_EQ(N::safeFilename(""), "appshot");
    EXPECT_EQ(N::safeFilename(" \n\t "), "appshot");
    EXPECT_EQ(N::safeFilename("a/b\\c?d%e*f|g\"h<i>j:k"), "a-b-c-d-e-f-g-h-i-j-k");
    EXPECT_EQ(N::safeFilename("  Release\u3000notes\n v2 "), "Release-notes-v2");
    EXPECT_EQ(N::safeFilename(std::string("a\0b", 3)), "a-b");

    std::string accented;
    for (int i = 0; i < 70; ++i) {
        accented += "\u00E9";
    }
    const std::string cut = N::safeFilename(accented);
    EXPECT_EQ(utf8::decodeUtf8(cut).size(), 64u);
    EXPECT_EQ(cut.size(), 128u) << "whole scalars, never half of one";
    EXPECT_EQ(N::safeFilename(std::string(64, 'x')), std::string(64, 'x'));
    EXPECT_EQ(N::safeFilename(std::string(65, 'x')), std::string(64, 'x'));
}

TEST(KnowledgePackageNamingTest, TitleAndDirectoryTitleRules) {
    SuperScreenshotSource source;
    source.appName = "Firefox";
    source.windowTitle = "  Window title \n";
    const BrowserCaptureMetadata titled{"https://a.example/", "\tPage title ",
                                        BrowserDeepCaptureStatus::metadataAvailable};
    const BrowserCaptureMetadata blank{"https://a.example/", "   ", BrowserDeepCaptureStatus::metadataAvailable};

    EXPECT_EQ(N::packageTitle(source, titled), "Page title");
    EXPECT_EQ(N::directoryTitle(source, titled), "\tPage title ");
    EXPECT_EQ(N::packageTitle(source, blank), "Window title") << "a blank page title falls through";
    EXPECT_EQ(N::directoryTitle(source, blank), "   ") << "the directory name takes any page title";
    EXPECT_EQ(N::packageTitle(source, std::nullopt), "Window title");
    source.windowTitle = " ";
    EXPECT_EQ(N::packageTitle(source, BrowserCaptureMetadata::unavailable()), "Firefox");
    source.windowTitle.reset();
    EXPECT_EQ(N::directoryTitle(source, std::nullopt), "Firefox");
}

TEST(KnowledgePackageNamingTest, DirectoryNameUsesTheLocalClock) {
    EXPECT_EQ(N::directoryBaseName(createdAt, "Notes"), "20231114-221320-Notes");
    testing::ScopedTimeZone tokyo("JST-9");
    EXPECT_EQ(N::directoryBaseName(createdAt, "Notes"), "20231115-071320-Notes");
}

TEST_F(KnowledgePackageWriterTest, WritesTheThreeFiles) {
    const auto package = write(content("Meeting notes"));
    EXPECT_EQ(package.packageDirectory, packages() / "20231114-221320-Meeting-notes");
    EXPECT_EQ(entryNames(package.packageDirectory),
              (std::vector<std::string>{"context.md", "metadata.json", "screenshot.png"}));
    EXPECT_EQ(package.screenshotURL, package.packageDirectory / "screenshot.png");
    EXPECT_EQ(package.contextURL, package.packageDirectory / "context.md");
    EXPECT_EQ(package.metadataURL, package.packageDirectory / "metadata.json");

    auto decoded = codec_.readFile(package.screenshotURL);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.value(), picture());
    EXPECT_EQ(readText(package.contextURL), package.contextText);
    EXPECT_TRUE(package.contextText.starts_with("# Meeting notes\n\n")) << package.contextText;
    EXPECT_EQ(package.metadata.text, (KnowledgePackageTextMetadata{8, 12, 2, false}));
}

TEST_F(KnowledgePackageWriterTest, SameSecondPackagesGetNumberedDirectoriesAndNeverShareOne) {
    const auto first = write(content("Release notes"));
    const auto second = write(content("Release notes"));
    EXPECT_EQ(first.packageDirectory.filename(), "20231114-221320-Release-notes");
    EXPECT_EQ(second.packageDirectory.filename(), "20231114-221320-Release-notes-2");

    // Something else already holds the next names: an empty directory and a plain file.
    fs::create_directories(packages() / "20231114-221320-Release-notes-3");
    std::ofstream(packages() / "20231114-221320-Release-notes-4") << "not ours";
    const auto third = write(content("Release notes"));
    EXPECT_EQ(third.packageDirectory.filename(), "20231114-221320-Release-notes-5");
    EXPECT_TRUE(entryNames(packages() / "20231114-221320-Release-notes-3").empty());
    EXPECT_EQ(readText(packages() / "20231114-221320-Release-notes-4"), "not ours");
    EXPECT_EQ(entryNames(first.packageDirectory).size(), 3u);
}

TEST_F(KnowledgePackageWriterTest, HostileTitlesStayInsideThePackagesDirectory) {
    const auto slashes = write(content("///::"));
    EXPECT_EQ(slashes.packageDirectory, packages() / "20231114-221320------");
    const auto empty = write(content(""));
    EXPECT_EQ(empty.packageDirectory, packages() / "20231114-221320-appshot");
    const auto dots = write(content("../../etc"));
    EXPECT_EQ(dots.packageDirectory.parent_path(), packages());

    std::string long_title;
    for (int i = 0; i < 100; ++i) {
        long_title += "\u6587";
    }
    const auto cjk = write(content(long_title));
    const std::string name = cjk.packageDirectory.filename().string();
    EXPECT_EQ(utf8::decodeUtf8(name).size(), std::string("20231114-221320-").size() + 64);
}

TEST_F(KnowledgePackageWriterTest, MetadataJsonHasSortedKeysIsoDatesAndNoBrowserForOtherApps) {
    const auto package = write(content("Meeting notes"));
    const std::string document = readText(package.metadataURL);
    const auto parsed = nlohmann::ordered_json::parse(document);
    expectKeysSortedEverywhere(parsed, "metadata");
    EXPECT_FALSE(parsed.contains("browser"));
    EXPECT_EQ(parsed.at("schemaVersion"), 1);
    EXPECT_EQ(parsed.at("createdAt"), "2023-11-14T22:13:20Z");
    EXPECT_EQ(parsed.at("capture").dump(), R"({"mode":"window","rect":[[10.0,20.0],[300.0,200.0]]})");
    EXPECT_EQ(parsed.at("source").dump(),
              R"({"appName":"Notes","processIdentifier":4242,"windowID":77,"windowTitle":"Meeting notes"})")
        << "absent values are left out";
    EXPECT_EQ(parsed.at("files").dump(),
              R"({"contextMarkdown":"context.md","metadata":"metadata.json","screenshot":"screenshot.png"})");
    EXPECT_EQ(parsed.at("text").at("ocrLength"), 8) << "characters, not bytes";
    EXPECT_NE(document.find("\n  \"capture\": {"), std::string::npos) << "pretty-printed";

    const auto decoded = decodeKnowledgePackageMetadata(document);
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(decoded.value(), package.metadata);
}

TEST_F(KnowledgePackageWriterTest, BrowserPackagesCarryThePage) {
    KnowledgePackageContent input = content("Docs - Firefox");
    input.browserMetadata =
        BrowserCaptureMetadata{"https://docs.example/a?b=1", "Docs", BrowserDeepCaptureStatus::metadataAvailable};
    const auto package = write(input);
    EXPECT_EQ(package.packageDirectory.filename(), "20231114-221320-Docs");
    const auto parsed = nlohmann::ordered_json::parse(readText(package.metadataURL));
    EXPECT_EQ(parsed.at("browser").dump(),
              R"({"status":"metadataAvailable","title":"Docs","url":"https://docs.example/a?b=1"})");

    input.browserMetadata = BrowserCaptureMetadata::unavailable();
    const auto unavailable = nlohmann::ordered_json::parse(readText(write(input).metadataURL));
    EXPECT_EQ(unavailable.at("browser").dump(), R"({"status":"metadataUnavailable"})");
}

TEST_F(KnowledgePackageWriterTest, MetadataDecodingRejectsDamagedDocuments) {
    const std::string good = encodeKnowledgePackageMetadata(KnowledgePackageWriter::metadata(content("x")));
    ASSERT_TRUE(decodeKnowledgePackageMetadata(good).ok());
    std::string badDate = good;
    badDate.replace(badDate.find("2023-11-14T22:13:20Z"), 20, "yesterday");
    EXPECT_FALSE(decodeKnowledgePackageMetadata(badDate).ok());
    std::string badMode = good;
    badMode.replace(badMode.find("\"window\""), 8, "\"screen\"");
    EXPECT_FALSE(decodeKnowledgePackageMetadata(badMode).ok());
    EXPECT_FALSE(decodeKnowledgePackageMetadata("{").ok());
}

TEST_F(KnowledgePackageWriterTest, ADirectoryThatCannotBeCreatedIsATypedError) {
    fs::create_directories(packages().parent_path());
    std::ofstream(packages()) << "a file where the folder belongs";
    auto result = writer_.write(picture(), content("Notes"));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().step, KnowledgePackageWriteError::Step::createDirectory);
    EXPECT_EQ(result.error().path, packages());
    EXPECT_EQ(readText(packages()), "a file where the folder belongs");
}

TEST_F(KnowledgePackageWriterTest, AFailedPackageRemovesWhatItWroteAndNothingElse) {
    HookedCodec codec;
    KnowledgePackageWriter writer(paths_.root() / "VisualMemory", codec);

    codec.beforeEncode = [] { return false; };
    auto failedEncode = writer.write(picture(), content("Notes"));
    ASSERT_FALSE(failedEncode.ok());
    EXPECT_EQ(failedEncode.error().step, KnowledgePackageWriteError::Step::encodeScreenshot);
    EXPECT_EQ(failedEncode.error().codecError, ImageCodecError::encodeFailed);
    EXPECT_TRUE(entryNames(packages()).empty()) << "the empty package directory is gone";

    // Another program drops a context.md into the new directory while the picture is encoded.
    const fs::path directory = packages() / "20231114-221320-Notes";
    codec.beforeEncode = [&] {
        std::ofstream(directory / "context.md") << "someone else's";
        return true;
    };
    auto failedWrite = writer.write(picture(), content("Notes"));
    ASSERT_FALSE(failedWrite.ok());
    EXPECT_EQ(failedWrite.error().step, KnowledgePackageWriteError::Step::writeContext);
    EXPECT_EQ(failedWrite.error().path, directory / "context.md");
    EXPECT_EQ(entryNames(directory), (std::vector<std::string>{"context.md"}))
        << "our screenshot is removed, theirs kept";
    EXPECT_EQ(readText(directory / "context.md"), "someone else's");
    EXPECT_NE(failedWrite.error().description().find("writeContext"), std::string::npos);
}

} // namespace
} // namespace brisklet
