#include "MemoryTestSupport.h"

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"
#include "main/LibraryCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace brisklet {
namespace {

using namespace memory_testing;

class LibraryCommandTest : public ::testing::Test {
protected:
    int run(std::vector<std::string> args, const std::string& input = "") {
        out_.str("");
        err_.str("");
        std::istringstream in(input);
        return runLibraryCommand(args, services_, in, out_, err_);
    }
    fs::path picture(const std::string& name) { return writeFile(paths_.root() / "Pictures" / name, 32); }

    TemporaryPaths paths_;
    ManualClock clock_;
    InMemoryDefaultsStore defaults_;
    VisualMemoryStore store_{paths_.root() / "VisualMemory"};
    FakeAnalyzer analyzer_;
    LibraryCommandServices services_{store_, defaults_, paths_, clock_, analyzer_};
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(LibraryCommandTest, ClassifyReadsStandardInput) {
    EXPECT_EQ(run({"classify"}, "https://example.com/page\n"), 0);
    EXPECT_EQ(out_.str(), "kind=link sensitive=false\n");
    EXPECT_EQ(run({"classify"}, "let password = read(1);\nreturn password;"), 0);
    EXPECT_EQ(out_.str(), "kind=codeSnippet sensitive=true\n");
    EXPECT_EQ(run({"classify", "extra"}), 2);
}

TEST_F(LibraryCommandTest, AddRecordsAndAnalysesThenListFiltersAndPrintsJson) {
    const fs::path shot = picture("design-review.png");
    ASSERT_EQ(run({"add", shot.string()}), 0) << err_.str();
    EXPECT_NE(out_.str().find("Recorded " + shot.string()), std::string::npos);
    EXPECT_NE(out_.str().find("summary: Analysed design-review.png"), std::string::npos);
    ASSERT_EQ(run({"add", picture("clip.mov").string()}), 0);
    EXPECT_EQ(store_.load().front().kind, ExportKind::videoMOV);
    EXPECT_EQ(run({"add", picture("a.webp").string()}), 2) << "unknown kinds are refused";
    EXPECT_EQ(run({"add", picture("a.webp").string(), "--kind", "clipboardImage"}), 0);
    EXPECT_EQ(run({"add", (paths_.root() / "nope.png").string()}), 1);

    ASSERT_EQ(run({"list", "--query", "DESIGN-REVIEW"}), 0);
    const std::string listing = out_.str();
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 1);
    EXPECT_NE(out_.str().find("\tscreenshot\tAnalysed design-review.png\tanalysed\t" + shot.string()),
              std::string::npos);
    ASSERT_EQ(run({"list", "--collection=analysed", "--json"}), 0);
    const auto json = nlohmann::json::parse(out_.str());
    EXPECT_EQ(json.size(), 3u);
    EXPECT_EQ(run({"list", "--sort"}), 2);
    EXPECT_EQ(run({"list", "--query"}), 2);
}

TEST_F(LibraryCommandTest, CleanupAndObsidianExport) {
    const fs::path kept = picture("kept.png");
    const fs::path gone = picture("gone.png");
    run({"add", kept.string()});
    run({"add", gone.string()});
    fs::remove(gone);
    ASSERT_EQ(run({"cleanup"}), 0);
    EXPECT_EQ(out_.str(), "Removed 1 item(s), freed 0 bytes; 1 item(s) remain\n");

    const fs::path vault = paths_.root() / "Vault";
    ASSERT_EQ(run({"export-obsidian", kept.string(), "--vault", vault.string()}), 0) << err_.str();
    EXPECT_TRUE(fs::exists(vault / "Analysed kept.png.md"));
    EXPECT_TRUE(fs::exists(vault / "Brisklet Assets" / "kept.png"));
    EXPECT_EQ(run({"export-obsidian", "unknown", "--vault", vault.string()}), 1);
    EXPECT_EQ(run({"export-obsidian", kept.string()}), 2);
    EXPECT_EQ(run({"frobnicate"}), 2);
}

} // namespace
} // namespace brisklet
