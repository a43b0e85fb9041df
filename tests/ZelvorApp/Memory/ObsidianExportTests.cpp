#include "MemoryTestSupport.h"

#include "ZelvorApp/Memory/ObsidianExportService.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace brisklet {
namespace {

using namespace memory_testing;

struct ParsedNote {
    std::map<std::string, std::string> frontMatter;
    std::string body;
};

// Reads the YAML front matter the way a note-taking tool would: the block between the two
// "---" lines, one "key: value" per line, double-quoted scalars unescaped.
std::string unquoted(const std::string& value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        return value;
    }
    std::string out;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && i + 2 < value.size()) {
            const char next = value[++i];
            out.push_back(next == 'n' ? '\n' : next == 't' ? '\t' : next);
        } else {
            out.push_back(value[i]);
        }
    }
    return out;
}

ParsedNote parseNote(const std::string& note) {
    ParsedNote parsed;
    std::istringstream in(note);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "---");
    while (std::getline(in, line) && line != "---") {
        const auto colon = line.find(": ");
        EXPECT_NE(colon, std::string::npos) << line;
        parsed.frontMatter[line.substr(0, colon)] = line.substr(colon + 2);
    }
    parsed.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return parsed;
}

class ObsidianExportTest : public ::testing::Test {
protected:
    fs::path vault() const { return paths_.root() / "Vault"; }
    VisualMemoryItem screenshot(const std::string& summary) {
        VisualMemoryItem entry = item(writeFile(paths_.root() / "Pictures" / "shot.png", 40), 1'700'000'000);
        entry.summary = summary;
        entry.sourceApp = "My \"Quoted\" App";
        entry.sourceURL = "https://example.com/a?b=1";
        entry.tags = {"design", "ui"};
        entry.manualTags = {"later"};
        entry.removedAutoTags = {"ui"};
        return entry;
    }

    TemporaryPaths paths_;
    std::optional<fs::path> chosen_;
    int chooserCalls_ = 0;
    ObsidianExportService service_{paths_.homeDirectory(), [this] {
                                       ++chooserCalls_;
                                       return chosen_;
                                   }};
};

TEST_F(ObsidianExportTest, ExportingTwiceMakesSecondCopiesAndOverwritesNothing) {
    const VisualMemoryItem entry = screenshot("Weekly review");
    const auto first = service_.exportItem(entry, vault().string());
    ASSERT_TRUE(first) << first.error().description;
    EXPECT_EQ(first.value(), vault() / "Weekly review.md");
    const std::string firstNote = readText(first.value());
    const auto second = service_.exportItem(entry, vault().string());
    ASSERT_TRUE(second);
    EXPECT_EQ(second.value(), vault() / "Weekly review-2.md");
    EXPECT_TRUE(fs::exists(vault() / "Brisklet Assets" / "shot.png"));
    EXPECT_TRUE(fs::exists(vault() / "Brisklet Assets" / "shot-2.png"));
    EXPECT_EQ(readText(first.value()), firstNote);
    EXPECT_NE(readText(second.value()).find("![[Brisklet Assets/shot-2.png]]"), std::string::npos);
    EXPECT_EQ(chooserCalls_, 0);
}

TEST_F(ObsidianExportTest, NoteHasFrontMatterTitleEmbedAndTextSection) {
    VisualMemoryItem entry = screenshot("Weekly review");
    entry.ocrText = "## Agenda\n- item";
    const auto note = service_.exportItem(entry, vault().string());
    ASSERT_TRUE(note);
    const ParsedNote parsed = parseNote(readText(note.value()));
    EXPECT_EQ(parsed.frontMatter.at("type"), "screenshot");
    EXPECT_EQ(parsed.frontMatter.at("created"), "2023-11-14T22:13:20Z");
    EXPECT_EQ(parsed.frontMatter.at("source_app"), R"("My \"Quoted\" App")");
    EXPECT_EQ(unquoted(parsed.frontMatter.at("source_app")), "My \"Quoted\" App");
    EXPECT_EQ(unquoted(parsed.frontMatter.at("source_url")), "https://example.com/a?b=1");
    EXPECT_EQ(parsed.frontMatter.at("tags"), R"(["design", "later"])");
    EXPECT_EQ(parsed.body, "\n# Weekly review\n\n![[Brisklet Assets/shot.png]]\n\n## OCR\n\n## Agenda\n- item");

    entry.ocrText.clear();
    entry.sourceApp.reset();
    entry.kind = ExportKind::videoMOV;
    const auto empty = parseNote(ObsidianExportService::markdown(entry, std::nullopt, std::nullopt));
    EXPECT_EQ(empty.frontMatter.at("type"), "video_mov");
    EXPECT_EQ(empty.frontMatter.at("source_app"), "\"\"");
    EXPECT_EQ(empty.body, "\n# Weekly review\n\n\n\n## OCR\n\n_No OCR text detected._");
}

TEST_F(ObsidianExportTest, CopiedTextMakesNoAssetsFolderAndATextSection) {
    VisualMemoryItem entry =
        item(writeText(paths_.root() / "Text" / "clipboard-1.txt", "hello"), 1'700'000'000, ExportKind::clipboardText);
    entry.summary = "a/b:c?d";
    entry.ocrText = "hello";
    const auto note = service_.exportItem(entry, vault().string());
    ASSERT_TRUE(note);
    EXPECT_EQ(note.value().filename(), "a-b-c-d.md");
    EXPECT_FALSE(fs::exists(vault() / "Brisklet Assets"));
    const auto parsed = parseNote(readText(note.value()));
    EXPECT_EQ(parsed.frontMatter.at("type"), "clipboard_text");
    EXPECT_EQ(parsed.body, "\n# a/b:c?d\n\n\n\n## Text\n\nhello");
}

TEST_F(ObsidianExportTest, SafeNoteNames) {
    EXPECT_EQ(ObsidianExportService::safeFilename(" <Plan>: v2 | \"final\" * "), "-Plan-- v2 - -final- -");
    EXPECT_EQ(ObsidianExportService::safeFilename("  \n "), "Brisklet Memory");
    EXPECT_EQ(ObsidianExportService::safeFilename(std::string(100, 'x')), std::string(80, 'x'));
    EXPECT_EQ(ObsidianExportService::safeFilename(std::string(90, 'x') + "/"), std::string(80, 'x'));
    VisualMemoryItem entry = screenshot("");
    const auto note = service_.exportItem(entry, vault().string());
    ASSERT_TRUE(note);
    EXPECT_EQ(note.value().filename(), "Brisklet Memory.md");
}

TEST_F(ObsidianExportTest, KnowledgePackageIsCopiedWholeAndItsImageLinkRewritten) {
    const fs::path package = paths_.root() / "Packages" / "super-1";
    writeFile(package / "screenshot.png", 20);
    writeText(package / "metadata.json", "{}");
    writeText(package / "context.md", "# Context\n\n![](screenshot.png)\n\nAccessibility text");
    VisualMemoryItem entry = item(package / "screenshot.png", 1'700'000'000, ExportKind::appshot);
    entry.summary = "Super shot";
    entry.packagePath = package.string();
    entry.contextText = "unused because the package has its own document";
    ASSERT_TRUE(service_.exportItem(entry, vault().string()));
    const auto again = service_.exportItem(entry, vault().string());
    ASSERT_TRUE(again);
    EXPECT_TRUE(fs::exists(vault() / "Brisklet Assets" / "super-1" / "metadata.json"));
    EXPECT_TRUE(fs::exists(vault() / "Brisklet Assets" / "super-1-2" / "screenshot.png"));
    const auto parsed = parseNote(readText(again.value()));
    EXPECT_EQ(parsed.frontMatter.at("type"), "appshot");
    EXPECT_EQ(parsed.body, "\n# Super shot\n\n\n\n## Context\n\n# Context\n\n"
                           "![[Brisklet Assets/super-1-2/screenshot.png]]\n\nAccessibility text");
}

TEST_F(ObsidianExportTest, DirectoryComesFromThePreferenceWithTildeOrFromTheChooser) {
    const VisualMemoryItem entry = screenshot("Chosen");
    const auto home = service_.exportItem(entry, "~/Notes/Brisklet");
    ASSERT_TRUE(home);
    EXPECT_EQ(home.value().parent_path(), paths_.homeDirectory() / "Notes" / "Brisklet");

    const auto cancelled = service_.exportItem(entry, std::string());
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.error().code, ObsidianExportError::Code::cancelled);
    chosen_ = vault();
    fs::create_directories(vault());
    const auto picked = service_.exportItem(entry, std::nullopt);
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked.value(), vault() / "Chosen.md");
    EXPECT_EQ(chooserCalls_, 2);

    writeText(paths_.root() / "not-a-dir", "x");
    const auto failed = service_.exportItem(entry, (paths_.root() / "not-a-dir" / "vault").string());
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().code, ObsidianExportError::Code::directoryFailed);
}

} // namespace
} // namespace brisklet
