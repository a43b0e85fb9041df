// A super screenshot without text recognition: the accessibility text of a 2,000-element window
// built from the application's own interface strings and its README's prose, the context
// document, and the whole package (1920x1080 PNG, context.md, metadata.json) written to disk.
// Target: formatting plus writing at most 300 ms. Prints the median of the runs.

#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Memory/ThumbnailScaler.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotFormatter.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriter.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextFormatter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

using namespace brisklet;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int nodeTarget = 2000;
constexpr int runs = 15;
constexpr double targetMs = 300;

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The English interface strings, in file order: button titles, labels, descriptions.
std::vector<std::string> interfaceStrings(const fs::path& sourceDir) {
    const std::string table = readFile(sourceDir / "resources" / "en.lproj" / "Localizable.strings");
    const std::regex entry(R"re(^"[^"]+"\s*=\s*"((?:[^"\\]|\\.)*)";)re", std::regex::multiline);
    std::vector<std::string> strings;
    for (auto it = std::sregex_iterator(table.begin(), table.end(), entry); it != std::sregex_iterator(); ++it) {
        strings.push_back((*it)[1].str());
    }
    return strings;
}

// The README's prose lines, as a document pane would expose them.
std::vector<std::string> proseLines(const fs::path& sourceDir) {
    std::vector<std::string> lines;
    std::ifstream in(sourceDir / "README.md");
    for (std::string line; std::getline(in, line);) {
        if (line.size() > 30 && line[0] != '#' && line[0] != '|' && line[0] != '`') {
            lines.push_back(line);
        }
    }
    return lines;
}

struct TreeBuilder {
    const std::vector<std::string>& labels;
    const std::vector<std::string>& prose;
    std::size_t nextLabel = 0;
    std::size_t nextProse = 0;
    int nodes = 0;

    AccessibilitySnapshotNode element(const char* role, std::optional<std::string> title) {
        ++nodes;
        AccessibilitySnapshotNode n;
        n.role = role;
        n.title = std::move(title);
        n.frame = Rect{{static_cast<double>(nodes % 1900), static_cast<double>(nodes % 1060)}, {120, 22}};
        return n;
    }
    std::string label() { return labels[nextLabel++ % labels.size()]; }
    std::string paragraph() { return prose[nextProse++ % prose.size()]; }

    // A settings-like pane: a heading, rows of label + value + help, each with the same two
    // buttons (as list rows have), and now and then a paragraph of help text or a password field.
    AccessibilitySnapshotNode section(int rows) {
        AccessibilitySnapshotNode group = element("panel", std::nullopt);
        group.children.push_back(element("heading", label() + ":"));
        for (int row = 0; row < rows && nodes < nodeTarget; ++row) {
            AccessibilitySnapshotNode line = element("list item", std::nullopt);
            AccessibilitySnapshotNode field = element("text", label());
            field.value = label();
            field.help = row % 3 == 0 ? std::optional<std::string>(label()) : std::nullopt;
            line.children.push_back(std::move(field));
            line.children.push_back(element("push button", "Edit"));
            line.children.push_back(element("push button", "Delete"));
            if (row % 7 == 0) {
                AccessibilitySnapshotNode text = element("paragraph", std::nullopt);
                text.description = paragraph();
                line.children.push_back(std::move(text));
            }
            if (row % 29 == 0) {
                AccessibilitySnapshotNode secret = element("password text", "Password");
                secret.value = "correct horse battery staple";
                secret.isSecure = true;
                line.children.push_back(std::move(secret));
            }
            group.children.push_back(std::move(line));
        }
        return group;
    }

    AccessibilitySnapshotNode window() {
        AccessibilitySnapshotNode frame = element("frame", "Brisklet Library");
        AccessibilitySnapshotNode toolbar = element("tool bar", std::nullopt);
        for (int i = 0; i < 12; ++i) {
            toolbar.children.push_back(element("push button", label()));
        }
        frame.children.push_back(std::move(toolbar));
        AccessibilitySnapshotNode content = element("scroll pane", std::nullopt);
        while (nodes < nodeTarget) {
            content.children.push_back(section(12));
        }
        frame.children.push_back(std::move(content));
        return frame;
    }
};

Image realLookingScreenshot(const fs::path& sourceDir) {
    LinuxImageCodec codec;
    auto picture = codec.readFile(sourceDir / "docs" / "screenshots" / "library-light.png");
    if (!picture) {
        std::fprintf(stderr, "cannot read docs/screenshots/library-light.png\n");
        std::exit(1);
    }
    return ThumbnailScaler::resized(picture.value(), 1920, 1080);
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    const fs::path sourceDir = BRISKLET_SOURCE_DIR;
    const auto labels = interfaceStrings(sourceDir);
    const auto prose = proseLines(sourceDir);
    if (labels.empty() || prose.empty()) {
        std::fprintf(stderr, "no interface strings or README prose found under %s\n", sourceDir.c_str());
        return 1;
    }
    TreeBuilder builder{labels, prose};
    const AccessibilitySnapshotNode tree = builder.window();
    const Image screenshot = realLookingScreenshot(sourceDir);
    const std::string ocrText = [&] {
        std::string text;
        for (std::size_t i = 0; i < 120; ++i) {
            text += (i % 3 == 0 ? prose[i % prose.size()] : labels[(i * 7) % labels.size()]) + "\n";
        }
        return text;
    }();

    char pattern[] = "/tmp/brisklet-bench-superscreenshot-XXXXXX";
    const fs::path root = ::mkdtemp(pattern);
    LinuxImageCodec codec;
    KnowledgePackageWriter writer(root, codec);

    std::vector<double> formatMs, documentMs, writeMs, totalMs;
    AccessibilitySnapshotText accessibility;
    std::uintmax_t packageBytes = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        accessibility = AccessibilitySnapshotFormatter::format(tree);
        formatMs.push_back(msSince(start));

        KnowledgePackageContent content;
        content.capture = {SuperScreenshotCaptureMode::window, Rect{{0, 0}, {1920, 1080}}};
        content.source.appName = "Brisklet";
        content.source.processIdentifier = 4242;
        content.source.windowTitle = "Brisklet Library";
        content.ocrText = ocrText;
        content.accessibility = accessibility;
        content.createdAt = Date{1'700'000'000.0 + run};

        const auto documentStart = Clock::now();
        const std::string document = SuperScreenshotContextFormatter::format(
            "Brisklet Library", content.source, content.ocrText, accessibility.text, std::nullopt);
        documentMs.push_back(msSince(documentStart));

        const auto writeStart = Clock::now();
        auto package = writer.write(screenshot, content);
        writeMs.push_back(msSince(writeStart));
        totalMs.push_back(msSince(start));
        if (!package) {
            std::fprintf(stderr, "write failed: %s\n", package.error().description().c_str());
            return 1;
        }
        packageBytes = fs::file_size(package.value().screenshotURL);
        (void)document;
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);

    std::printf("Super screenshot without text recognition (median of %d runs)\n", runs);
    std::printf("  accessibility text, %d elements -> %zu characters%s: %7.2f ms\n", accessibility.nodeCount,
                accessibility.text.size(), accessibility.wasTruncated ? " (truncated)" : "", median(formatMs));
    std::printf("  context document alone:                         %7.2f ms\n", median(documentMs));
    std::printf("  package write (1920x1080 PNG %.2f MB, context, metadata; includes the document): %7.2f ms\n",
                static_cast<double>(packageBytes) / 1e6, median(writeMs));
    const double total = median(totalMs);
    std::printf("  format + write: %.1f ms (target at most %.0f ms) -> %s\n", total, targetMs,
                total <= targetMs ? "met" : "MISSED");
    return 0;
}
