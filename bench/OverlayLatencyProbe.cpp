// How long after a trigger a full-screen overlay shows on an X screen, seen from outside the
// application the way a person sees it: one screen pixel is read back from the X server, a
// trigger command starts, and the pixel is read again, one round trip after another, until it
// has changed. Reading the pixel through the server (rather than waiting for a log line or a
// map notification) counts everything up to the moment the overlay's pixels are really there:
// the trigger's own start-up, the screen grab, window creation and the first paint.
//
// Usage:
//   brisklet_bench_overlay_probe [OPTIONS] [--] COMMAND [ARG...]
//       prints "CHANGED_MS EXITED_MS": milliseconds from just before COMMAND is spawned to the
//       first read that differs from the colour read before it, and to COMMAND's exit, waited for
//       up to 0.5 s more ("-" and its pid when it runs on: a client that waits for the capture
//       to end, say)
//   brisklet_bench_overlay_probe [OPTIONS] --press CHORD
//       the same, with the trigger a key chord such as ctrl+alt+4 pressed and released through
//       XTest by the probe itself, so no process start sits between the clock and the press;
//       prints "CHANGED_MS -"
//   brisklet_bench_overlay_probe [OPTIONS] --until R,G,B
//       waits until the pixel is back at the colour R,G,B (within the threshold); prints the
//       milliseconds that took
//   brisklet_bench_overlay_probe [OPTIONS] --read
//       prints the pixel's colour as R,G,B
// Options: --x N --y N (default: the middle of the screen), --threshold N (the sum of the three
// channel differences that counts as a change, default 60), --timeout-ms N (default 5000),
// --interval-us N (pause between reads, default 0: as fast as the server answers).
// Exits 1 when the pixel does not change (or come back) in time, 2 on a usage or X error.
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
};

int distance(const Colour& a, const Colour& b) {
    return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
}

std::string text(const Colour& colour) {
    return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," + std::to_string(colour.blue);
}

std::optional<Colour> parseColour(const char* value) {
    Colour colour;
    if (std::sscanf(value, "%d,%d,%d", &colour.red, &colour.green, &colour.blue) != 3) {
        return std::nullopt;
    }
    return colour;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// One channel of a true-colour pixel, scaled to 0...255 whatever the mask's width.
int channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1U) == 0) {
        ++shift;
    }
    const std::uint32_t maximum = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255U / maximum);
}

/// Reads single pixels of the root window, each read one round trip to the server.
class RootPixelReader {
public:
    RootPixelReader() : connection_(xcb_connect(nullptr, &screenNumber_)) {}
    ~RootPixelReader() { xcb_disconnect(connection_); }
    RootPixelReader(const RootPixelReader&) = delete;
    RootPixelReader& operator=(const RootPixelReader&) = delete;

    /// Finds the screen and the masks of its root visual; false (with a message) when it cannot.
    bool open() {
        if (xcb_connection_has_error(connection_)) {
            std::fprintf(stderr, "overlay probe: cannot connect to the X server (DISPLAY=%s)\n",
                         std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
            return false;
        }
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        lsbFirst_ = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
        auto screens = xcb_setup_roots_iterator(setup);
        for (int i = 0; i < screenNumber_ && screens.rem > 0; ++i) {
            xcb_screen_next(&screens);
        }
        screen_ = screens.data;
        for (auto depths = xcb_screen_allowed_depths_iterator(screen_); depths.rem > 0; xcb_depth_next(&depths)) {
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0;
                 xcb_visualtype_next(&visuals)) {
                if (visuals.data->visual_id == screen_->root_visual) {
                    visual_ = *visuals.data;
                    hasVisual_ = true;
                }
            }
        }
        if (!hasVisual_ || visual_._class != XCB_VISUAL_CLASS_TRUE_COLOR) {
            std::fprintf(stderr, "overlay probe: the root window is not true colour\n");
            return false;
        }
        return true;
    }

    xcb_connection_t* connection() const { return connection_; }
    int width() const { return screen_->width_in_pixels; }
    int height() const { return screen_->height_in_pixels; }

    std::optional<Colour> read(int x, int y) {
        const auto cookie = xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, screen_->root,
                                          static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 1, 1, ~0U);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(connection_, cookie, nullptr);
        if (!reply) {
            return std::nullopt;
        }
        const std::uint8_t* data = xcb_get_image_data(reply);
        const int length = std::min(xcb_get_image_data_length(reply), 4);
        std::uint32_t pixel = 0;
        for (int i = 0; i < length; ++i) {
            const int byte = lsbFirst_ ? i : length - 1 - i;
            pixel |= static_cast<std::uint32_t>(data[byte]) << (8 * i);
        }
        std::free(reply);
        return Colour{channel(pixel, visual_.red_mask), channel(pixel, visual_.green_mask),
                      channel(pixel, visual_.blue_mask)};
    }

private:
    int screenNumber_ = 0;
    xcb_connection_t* connection_;
    xcb_screen_t* screen_ = nullptr;
    xcb_visualtype_t visual_{};
    bool hasVisual_ = false;
    bool lsbFirst_ = true;
};

/// The keysym of one chord part: a modifier's name or a single Latin-1 character.
std::optional<xcb_keysym_t> keysymOf(std::string_view name) {
    if (name == "ctrl" || name == "control") {
        return 0xffe3; // Control_L
    }
    if (name == "alt") {
        return 0xffe9; // Alt_L
    }
    if (name == "shift") {
        return 0xffe1; // Shift_L
    }
    if (name == "super") {
        return 0xffeb; // Super_L
    }
    if (name == "Escape") {
        return 0xff1b;
    }
    if (name.size() == 1 && static_cast<unsigned char>(name[0]) >= 0x20) {
        return static_cast<xcb_keysym_t>(std::tolower(static_cast<unsigned char>(name[0])));
    }
    return std::nullopt;
}

/// Presses a chord ("ctrl+alt+4") through XTest: every key down in order, then up in reverse.
class ChordTypist {
public:
    explicit ChordTypist(xcb_connection_t* connection) : connection_(connection) {}

    /// Looks the keys up in the server's keyboard map; false (with a message) for an unknown key.
    bool prepare(std::string_view chord) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        if (!mapping) {
            std::fprintf(stderr, "overlay probe: cannot read the keyboard map\n");
            return false;
        }
        const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping);
        bool found = true;
        for (std::size_t start = 0; start <= chord.size() && found;) {
            const std::size_t end = std::min(chord.find('+', start), chord.size());
            const std::string_view part = chord.substr(start, end - start);
            const auto keysym = keysymOf(part);
            found = false;
            for (int code = 0; keysym && code < count && !found; ++code) {
                if (symbols[code * mapping->keysyms_per_keycode] == *keysym) {
                    keycodes_.push_back(static_cast<xcb_keycode_t>(setup->min_keycode + code));
                    found = true;
                }
            }
            if (!found) {
                std::fprintf(stderr, "overlay probe: no key for '%.*s'\n", static_cast<int>(part.size()), part.data());
            }
            start = end + 1;
        }
        std::free(mapping);
        return found && !keycodes_.empty();
    }

    void press() const {
        for (const xcb_keycode_t code : keycodes_) {
            xcb_test_fake_input(connection_, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        }
        for (auto code = keycodes_.rbegin(); code != keycodes_.rend(); ++code) {
            xcb_test_fake_input(connection_, XCB_KEY_RELEASE, *code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        }
        xcb_flush(connection_);
    }

private:
    xcb_connection_t* connection_;
    std::vector<xcb_keycode_t> keycodes_;
};

struct Options {
    std::optional<int> x;
    std::optional<int> y;
    int threshold = 60;
    int timeoutMs = 5000;
    int intervalUs = 0;
    bool readOnly = false;
    std::optional<Colour> until;
    std::optional<std::string> chord;
    std::vector<char*> command;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    int index = 1;
    const auto number = [&](int& into) {
        if (index + 1 >= argc) {
            return false;
        }
        char* end = nullptr;
        const long value = std::strtol(argv[++index], &end, 10);
        into = static_cast<int>(value);
        return *end == '\0';
    };
    for (; index < argc; ++index) {
        const std::string_view argument = argv[index];
        int value = 0;
        if (argument == "--") {
            ++index;
            break;
        }
        if (argument.substr(0, 2) != "--") {
            break;
        }
        if (argument == "--x" && number(value)) {
            options.x = value;
        } else if (argument == "--y" && number(value)) {
            options.y = value;
        } else if (argument == "--threshold" && number(options.threshold)) {
        } else if (argument == "--timeout-ms" && number(options.timeoutMs)) {
        } else if (argument == "--interval-us" && number(options.intervalUs)) {
        } else if (argument == "--read") {
            options.readOnly = true;
        } else if (argument == "--until" && index + 1 < argc && (options.until = parseColour(argv[++index]))) {
        } else if (argument == "--press" && index + 1 < argc) {
            options.chord = argv[++index];
        } else {
            std::fprintf(stderr, "overlay probe: bad option %s\n", argv[index]);
            return std::nullopt;
        }
    }
    for (; index < argc; ++index) {
        options.command.push_back(argv[index]);
    }
    if (!options.readOnly && !options.until && !options.chord && options.command.empty()) {
        std::fprintf(stderr, "usage: %s [--x N --y N --threshold N --timeout-ms N --interval-us N] "
                             "(COMMAND [ARG...] | --press CHORD | --until R,G,B | --read)\n",
                     argv[0]);
        return std::nullopt;
    }
    options.command.push_back(nullptr);
    return options;
}

/// Starts the trigger with its standard output on our standard error, so that our own output
/// stays the measurement alone.
std::optional<pid_t> spawn(const std::vector<char*>& command) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    pid_t pid = 0;
    const int status = posix_spawnp(&pid, command[0], &actions, nullptr, command.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) {
        std::fprintf(stderr, "overlay probe: cannot start %s: %s\n", command[0], std::strerror(status));
        return std::nullopt;
    }
    return pid;
}

class Probe {
public:
    Probe(RootPixelReader& reader, const Options& options)
        : reader_(reader), options_(options), x_(options.x.value_or(reader.width() / 2)),
          y_(options.y.value_or(reader.height() / 2)) {}

    int run() {
        if (options_.readOnly) {
            const auto colour = reader_.read(x_, y_);
            if (!colour) {
                return fail("cannot read the pixel", 2);
            }
            std::printf("%s\n", text(*colour).c_str());
            return 0;
        }
        return options_.until ? waitUntilBack(*options_.until) : measure();
    }

private:
    int measure() {
        const auto baseline = reader_.read(x_, y_);
        if (!baseline) {
            return fail("cannot read the pixel", 2);
        }
        ChordTypist typist(reader_.connection());
        if (options_.chord && !typist.prepare(*options_.chord)) {
            return 2;
        }
        const Clock::time_point start = Clock::now();
        std::optional<pid_t> pid;
        if (options_.chord) {
            typist.press();
        } else if (!(pid = spawn(options_.command))) {
            return 2;
        }
        std::optional<double> exitedMs;
        std::optional<Colour> seen;
        while (millisecondsSince(start) < options_.timeoutMs) {
            seen = reader_.read(x_, y_);
            const double elapsed = millisecondsSince(start);
            if (pid && !exitedMs && waitpid(*pid, nullptr, WNOHANG) == *pid) {
                exitedMs = millisecondsSince(start);
            }
            if (seen && distance(*seen, *baseline) > options_.threshold) {
                if (pid && !exitedMs) {
                    exitedMs = awaitExit(*pid, start);
                }
                if (exitedMs) {
                    std::printf("%.2f %.2f\n", elapsed, *exitedMs);
                } else if (pid) {
                    std::printf("%.2f - %d\n", elapsed, static_cast<int>(*pid));
                } else {
                    std::printf("%.2f -\n", elapsed);
                }
                return 0;
            }
            pause();
        }
        return fail("no change from " + text(*baseline) + " within " + std::to_string(options_.timeoutMs) +
                    " ms (last read " + (seen ? text(*seen) : std::string("nothing")) + ")");
    }

    /// A trigger that is still running when the overlay shows is given a little longer, so that
    /// a client which waits for its answer is seen to end; one that waits for the whole capture
    /// is left running.
    static std::optional<double> awaitExit(pid_t pid, Clock::time_point start) {
        const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(500);
        while (Clock::now() < giveUp) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                return millisecondsSince(start);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        return std::nullopt;
    }

    int waitUntilBack(const Colour& expected) {
        const Clock::time_point start = Clock::now();
        std::optional<Colour> seen;
        while (millisecondsSince(start) < options_.timeoutMs) {
            seen = reader_.read(x_, y_);
            if (seen && distance(*seen, expected) <= options_.threshold) {
                std::printf("%.2f\n", millisecondsSince(start));
                return 0;
            }
            pause();
        }
        return fail("the pixel did not come back to " + text(expected) + " within " +
                    std::to_string(options_.timeoutMs) + " ms (last read " +
                    (seen ? text(*seen) : std::string("nothing")) + ")");
    }

    void pause() const {
        if (options_.intervalUs > 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(options_.intervalUs));
        }
    }

    int fail(const std::string& message, int status = 1) const {
        std::fprintf(stderr, "overlay probe: pixel %d,%d: %s\n", x_, y_, message.c_str());
        return status;
    }

    RootPixelReader& reader_;
    const Options& options_;
    int x_;
    int y_;
};

} // namespace

int main(int argc, char** argv) {
    auto options = parseOptions(argc, argv);
    if (!options) {
        return 2;
    }
    RootPixelReader reader;
    if (!reader.open()) {
        return 2;
    }
    return Probe(reader, *options).run();
}
