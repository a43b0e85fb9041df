// The AT-SPI snapshot reader and browser page reader against real applications: a Qt form,
// Chromium on a local page and a terminal that is not on the accessibility bus, on a private
// X server and session bus (whose accessibility bus launcher starts on first use).

#include "Platform/Linux/Accessibility/AtSpiBrowserMetadataProvider.h"
#include "Platform/Linux/Accessibility/AtSpiSnapshotReader.h"
#include "Platform/Linux/Desktop/LinuxPrivacyPermissions.h"
#include "Platform/Linux/X11/X11DisplayServer.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotFormatter.h"
#include "support/PrivateSessionBus.h"
#include "support/PrivateXServer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

/// A program this test started, in its own process group so that its helpers (Chromium's
/// renderers, a terminal's shell) end with it. Its output goes to `output`.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& arguments, const fs::path& output,
                 const std::vector<std::pair<std::string, std::string>>& environment = {}) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setpgid(0, 0);
            for (const auto& [name, value] : environment) {
                ::setenv(name.c_str(), value.c_str(), 1);
            }
            std::freopen(output.c_str(), "w", stdout);
            std::freopen(output.c_str(), "a", stderr);
            std::vector<char*> argv;
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        if (pid_ > 0) {
            ::setpgid(pid_, pid_);
        }
    }
    ~ChildProcess() {
        if (pid_ <= 0) {
            return;
        }
        ::kill(-pid_, SIGTERM);
        for (int waited = 0; waited < 50; ++waited) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                ::kill(-pid_, SIGKILL);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    std::int32_t pid() const { return static_cast<std::int32_t>(pid_); }
    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

std::string readFile(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

/// Asks `attempt` every 200 ms until it gives something or `seconds` have passed: applications
/// appear on the bus some time after they start.
template <typename Result> Result pollFor(double seconds, const std::function<Result()>& attempt) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        Result result = attempt();
        if (result || std::chrono::steady_clock::now() >= end) {
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

/// Every node's texts, one a line, depth first.
void collectTexts(const AccessibilitySnapshotNode& node, std::string& out) {
    for (const auto* part : {&node.title, &node.value, &node.description, &node.selectedText, &node.help}) {
        if (*part) {
            out += **part + "\n";
        }
    }
    for (const auto& child : node.children) {
        collectTexts(child, out);
    }
}
std::string textsOf(const AccessibilitySnapshotNode& node) {
    std::string out;
    collectTexts(node, out);
    return out;
}

const AccessibilitySnapshotNode* findNode(const AccessibilitySnapshotNode& node,
                                          const std::function<bool(const AccessibilitySnapshotNode&)>& matches) {
    if (matches(node)) {
        return &node;
    }
    for (const auto& child : node.children) {
        if (const auto* found = findNode(child, matches)) {
            return found;
        }
    }
    return nullptr;
}

class AccessibilitySnapshotIntegrationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("brisklet-atspi-" + std::to_string(::getpid()));
        fs::create_directories(root_ / "runtime");
        fs::permissions(root_ / "runtime", fs::perms::owner_all);
        display_ = std::make_unique<testing::PrivateXServer>(testing::PrivateXServer::Options{1280, 800, false});
        if (display_->display().empty()) {
            return;
        }
        // The bus, and the accessibility bus launcher it starts, inherit this environment.
        ::setenv("DISPLAY", display_->display().c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (root_ / "runtime").c_str(), 1);
        ::unsetenv("AT_SPI_BUS_ADDRESS");
        bus_ = std::make_unique<testing::PrivateSessionBus>();
        if (bus_->address().empty()) {
            return;
        }
        ::setenv("DBUS_SESSION_BUS_ADDRESS", bus_->address().c_str(), 1);
        static int argc = 1;
        static char name[] = "accessibility_integration_tests";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    static void TearDownTestSuite() {
        application_.reset();
        bus_.reset();
        display_.reset();
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    void SetUp() override {
        if (!application_) {
            GTEST_SKIP() << "Xvfb or dbus-daemon is not installed or did not start";
        }
        if (!fs::exists("/usr/libexec/at-spi-bus-launcher")) {
            GTEST_SKIP() << "at-spi2-core (the accessibility bus launcher) is not installed";
        }
        permissions_ = std::make_unique<LinuxPrivacyPermissions>(display_->display());
        displays_ = std::make_unique<X11DisplayServer>(display_->display());
        reader_ = std::make_unique<AtSpiSnapshotReader>(clock_, *permissions_, *displays_);
        ASSERT_TRUE(reader_->requestTrust()) << "the accessibility bus did not come up";
    }
    void TearDown() override {
        reader_.reset();
        displays_.reset();
        permissions_.reset();
    }

    /// The application's snapshot once it holds `text` (it may still be starting).
    std::optional<AccessibilitySnapshotNode> snapshotHolding(std::int32_t process, const std::string& windowTitle,
                                                             const std::string& text, double seconds) {
        return pollFor<std::optional<AccessibilitySnapshotNode>>(seconds, [&] {
            auto snapshot = reader_->snapshot(process, windowTitle, {});
            return snapshot && textsOf(*snapshot).find(text) != std::string::npos ? snapshot : std::nullopt;
        });
    }

    static inline fs::path root_;
    static inline std::unique_ptr<testing::PrivateXServer> display_;
    static inline std::unique_ptr<testing::PrivateSessionBus> bus_;
    static inline std::unique_ptr<QCoreApplication> application_;
    SystemClock clock_;
    std::unique_ptr<LinuxPrivacyPermissions> permissions_;
    std::unique_ptr<X11DisplayServer> displays_;
    std::unique_ptr<AtSpiSnapshotReader> reader_;
};

constexpr const char* secret = "hunter2-Quokka";

TEST_F(AccessibilitySnapshotIntegrationTest, AQtFormGivesItsLabelsAndTextButNeverThePassword) {
    EXPECT_TRUE(reader_->isTrusted());
    EXPECT_TRUE(permissions_->isAccessibilityTrusted());
    ChildProcess form({BRISKLET_ACCESSIBILITY_FORM_WINDOW, "Snapshot Form", secret}, root_ / "form.out");

    const auto root = snapshotHolding(form.pid(), "Snapshot Form", "Prepared by the finance team", 20);

    ASSERT_TRUE(root) << "the form never showed on the accessibility bus: " << readFile(root_ / "form.out");
    EXPECT_EQ(root->title, "Snapshot Form");
    const std::string texts = textsOf(*root);
    EXPECT_NE(texts.find("Quarterly revenue report"), std::string::npos) << texts;
    EXPECT_NE(texts.find("Forecast draft for March"), std::string::npos) << texts;
    EXPECT_EQ(texts.find(secret), std::string::npos) << texts;
    const auto* password = findNode(*root, [](const auto& node) { return node.role == "password text"; });
    ASSERT_NE(password, nullptr);
    EXPECT_TRUE(password->isSecure);
    EXPECT_FALSE(password->value);
    // The window sits at (40, 60) from the top-left of an 800-point-high screen, so in the
    // desktop space (y up) its label lies below y = 740.
    const auto* label = findNode(*root, [](const auto& node) { return node.title == "Quarterly revenue report"; });
    ASSERT_NE(label, nullptr);
    ASSERT_TRUE(label->frame);
    EXPECT_GE(label->frame->minX(), 40);
    EXPECT_LE(label->frame->maxY(), 740);
    EXPECT_GT(label->frame->minY(), 500);

    // Captures read the tree on a worker thread.
    std::optional<AccessibilitySnapshotNode> fromWorker;
    std::thread worker([&] { fromWorker = reader_->snapshot(form.pid(), "Snapshot Form", {}); });
    worker.join();
    EXPECT_EQ(fromWorker, root);

    const AccessibilitySnapshotText formatted = AccessibilitySnapshotFormatter::format(root);
    EXPECT_NE(formatted.text.find("Quarterly revenue report"), std::string::npos) << formatted.text;
    EXPECT_EQ(formatted.text.find(secret), std::string::npos) << formatted.text;
}

TEST_F(AccessibilitySnapshotIntegrationTest, AProgramNotOnTheBusGivesAnEmptyTree) {
    if (!onPath("xterm")) {
        GTEST_SKIP() << "xterm is not installed";
    }
    const fs::path started = root_ / "xterm.started";
    ChildProcess terminal(
        {"xterm", "-T", "Plain Terminal", "-e", "sh", "-c", "touch '" + started.string() + "'; exec sleep 600"},
        root_ / "xterm.out");
    ChildProcess form({BRISKLET_ACCESSIBILITY_FORM_WINDOW, "Control Form", secret}, root_ / "form.out");
    ASSERT_TRUE(pollFor<bool>(20, [&] { return fs::exists(started); })) << readFile(root_ / "xterm.out");
    // The bus answers for the form next to it, so the terminal's empty answer is the terminal's.
    ASSERT_TRUE(snapshotHolding(form.pid(), "Control Form", "Quarterly revenue report", 20));

    const auto tree = reader_->snapshot(terminal.pid(), "Plain Terminal", {});

    EXPECT_FALSE(tree);
    EXPECT_EQ(AccessibilitySnapshotFormatter::format(tree), AccessibilitySnapshotText{});
    AtSpiBrowserMetadataProvider browser(clock_);
    EXPECT_FALSE(browser.metadata({"XTerm", "xterm", terminal.pid()}));
}

TEST_F(AccessibilitySnapshotIntegrationTest, ChromiumTellsItsPageAndItsParagraphs) {
    std::string chromium;
    for (const char* candidate : {"chromium", "chromium-browser"}) {
        if (onPath(candidate)) {
            chromium = candidate;
            break;
        }
    }
    if (chromium.empty() || !onPath("python3")) {
        GTEST_SKIP() << "chromium or python3 is not installed";
    }
    const fs::path site = root_ / "site";
    fs::create_directories(site);
    std::ofstream(site / "page.html")
        << "<!doctype html><html><head><title>Snapshot Test Page</title></head><body>"
           "<h1>Release notes</h1><p>The first paragraph talks about apples and oranges.</p>"
           "<p>The second paragraph has a <a href=\"#more\">link</a> inside.</p></body></html>";
    ChildProcess server(
        {"python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", site.string()},
        root_ / "server.out");
    const auto port = pollFor<std::optional<std::string>>(20, [&]() -> std::optional<std::string> {
        std::smatch match;
        const std::string out = readFile(root_ / "server.out");
        if (!std::regex_search(out, match, std::regex("port ([0-9]+)"))) {
            return std::nullopt;
        }
        return match[1].str();
    });
    ASSERT_TRUE(port) << readFile(root_ / "server.out");
    const std::string url = "http://127.0.0.1:" + *port + "/page.html";
    fs::create_directories(root_ / "chromium-home");
    ChildProcess browser({chromium, "--force-renderer-accessibility", "--no-sandbox", "--no-first-run",
                          "--disable-background-networking", "--disable-component-update", "--disable-sync",
                          "--user-data-dir=" + (root_ / "chromium-profile").string(), url},
                         root_ / "chromium.out", {{"HOME", (root_ / "chromium-home").string()}});
    AtSpiBrowserMetadataProvider provider(clock_);

    // Chromium takes a while to start and to load the page.
    const auto metadata =
        pollFor<std::optional<BrowserCaptureMetadata>>(90, [&]() -> std::optional<BrowserCaptureMetadata> {
            auto answer = provider.metadata({"Chromium", "chromium", browser.pid()});
            return answer && answer->url == url && answer->title ? answer : std::nullopt;
        });

    ASSERT_TRUE(metadata) << "Chromium never told its page; running: " << browser.running() << "\n"
                          << readFile(root_ / "chromium.out");
    EXPECT_EQ(*metadata,
              (BrowserCaptureMetadata{url, "Snapshot Test Page", BrowserDeepCaptureStatus::metadataAvailable}));
    // Recognised by its executable too, when the desktop gave no window class.
    EXPECT_EQ(provider.metadata({"Chromium", std::nullopt, browser.pid()}), metadata);

    const auto root = snapshotHolding(browser.pid(), "Snapshot Test Page - Chromium", "The second paragraph has a", 30);
    ASSERT_TRUE(root);
    const std::string texts = textsOf(*root);
    EXPECT_NE(texts.find("The first paragraph talks about apples and oranges."), std::string::npos) << texts;
    EXPECT_NE(texts.find("Release notes"), std::string::npos) << texts;
    EXPECT_EQ(texts.find("\xEF\xBF\xBC"), std::string::npos) << texts;
}

} // namespace
} // namespace brisklet
