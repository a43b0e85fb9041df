#include "main/TranslateCommand.h"

#include "Platform/MainQueue.h"
#include "Platform/ThreadSerialQueue.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Text/TranslationBridgeController.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <thread>

namespace brisklet {

namespace {

constexpr std::size_t maximumInputBytes = 4u << 20;

// The command's own main loop: the translation flow hands its results back through a main
// queue, and a command has no window system's event loop to lend one.
class CommandLoopQueue final : public MainQueue {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    void post(Task task) override { postAt(std::chrono::steady_clock::now(), std::move(task)); }
    void postAfter(double delaySeconds, Task task) override {
        postAt(std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                      std::chrono::duration<double>(std::max(delaySeconds, 0.0))),
               std::move(task));
    }
    void runFor(double seconds) override {
        const auto deadline =
            std::chrono::steady_clock::now() +
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
        runUntil([&] { return std::chrono::steady_clock::now() >= deadline; }, deadline);
    }
    bool isMainThread() const override { return std::this_thread::get_id() == mainThread_; }

    /// Runs tasks as they fall due until `done` holds or `deadline` passes.
    template <class Predicate> void runUntil(Predicate done, TimePoint deadline = TimePoint::max()) {
        while (!done()) {
            Task task;
            {
                std::unique_lock lock(mutex_);
                while (true) {
                    const auto now = std::chrono::steady_clock::now();
                    const auto next = std::min_element(entries_.begin(), entries_.end(),
                                                       [](const Entry& a, const Entry& b) { return a.due < b.due; });
                    if (next != entries_.end() && next->due <= now) {
                        task = std::move(next->task);
                        entries_.erase(next);
                        break;
                    }
                    if (now >= deadline) {
                        return;
                    }
                    const auto wakeAt = next != entries_.end() ? std::min(next->due, deadline) : deadline;
                    if (wakeAt == TimePoint::max()) {
                        wake_.wait(lock);
                    } else {
                        wake_.wait_until(lock, wakeAt);
                    }
                }
            }
            task();
        }
    }

private:
    struct Entry {
        TimePoint due;
        Task task;
    };

    void postAt(TimePoint due, Task task) {
        std::lock_guard lock(mutex_);
        entries_.push_back({due, std::move(task)});
        wake_.notify_all();
    }

    std::thread::id mainThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Entry> entries_;
};

struct TranslateArguments {
    TranslationTargetLanguage target = TranslationTargetLanguage::automatic;
    std::optional<std::string> source;
};

std::optional<TranslateArguments> parseArguments(const std::vector<std::string>& args, std::ostream& err) {
    TranslateArguments parsed;
    bool haveTarget = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--to" || arg == "--from") && i + 1 >= args.size()) {
            err << "brisklet translate: " << arg << " needs a language\n";
            return std::nullopt;
        }
        if (arg == "--to") {
            const auto target = enumFromString<TranslationTargetLanguage>(args[++i]);
            if (!target) {
                err << "brisklet translate: unknown target language '" << args[i]
                    << "' (choose auto, zh-Hans, en, ja, ko, fr, de or es)\n";
                return std::nullopt;
            }
            parsed.target = *target;
            haveTarget = true;
        } else if (arg == "--from") {
            parsed.source = args[++i];
        } else {
            err << "brisklet translate: unexpected argument '" << arg << "'\n";
            return std::nullopt;
        }
    }
    if (!haveTarget) {
        err << "brisklet translate: --to is required\n";
        return std::nullopt;
    }
    return parsed;
}

std::optional<std::string> readInput(std::istream& in, std::ostream& err) {
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > maximumInputBytes) {
            err << "brisklet translate: the text on standard input is larger than 4 MiB\n";
            return std::nullopt;
        }
    }
    return text;
}

void reportFailure(const TranslationFailure& failure, const LocalizationStore& localization, std::ostream& err) {
    err << "brisklet translate: " << failure.localizedDescription(localization) << "\n";
    if (const auto* engine = failure.engineError(); engine && !engine->failureReason.empty()) {
        err << "  (" << engine->failureReason << ")\n";
    }
}

} // namespace

int runTranslateCommand(const std::vector<std::string>& args, Translator& translator,
                        const LocalizationStore& localization, std::istream& in, std::ostream& out, std::ostream& err) {
    const auto parsed = parseArguments(args, err);
    if (!parsed) {
        err << "Usage: brisklet translate --to LANG [--from LANG] < text\n";
        return 2;
    }
    const auto text = readInput(in, err);
    if (!text) {
        return 1;
    }
    CommandLoopQueue mainQueue;
    std::optional<TranslationBridgeController::TranslationResult> result;
    {
        TranslationBridgeController controller(
            translator, std::make_unique<ThreadSerialQueue>(TranslationBridgeController::queueLabel), mainQueue,
            [&localization] { return localization.resolvedAppLanguage(); });
        controller.translate(*text, parsed->source, parsed->target,
                             [&result](TranslationBridgeController::TranslationResult r) { result = std::move(r); });
        mainQueue.runUntil([&] { return result.has_value(); });
    }
    if (!result->ok()) {
        reportFailure(result->error(), localization, err);
        return 1;
    }
    const std::string& translated = result->value().translatedText;
    out << translated << (translated.empty() || translated.back() != '\n' ? "\n" : "");
    return 0;
}

} // namespace brisklet
