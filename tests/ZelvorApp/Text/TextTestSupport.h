#pragma once

#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Text/RecognizedTextLine.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace brisklet::texttest {

/// Captures what goes through RuntimeLogger while it lives, as bare messages.
class LogCapture {
public:
    LogCapture() {
        writer_ = std::make_shared<RuntimeLogWriter>(std::make_unique<ManualSerialQueue>(RuntimeLogWriter::queueLabel),
                                                     clock_, paths_.root() / "Logs",
                                                     [] { return RuntimeLogWriter::InitialState{}; });
        RuntimeLogger::install(writer_);
    }
    ~LogCapture() { RuntimeLogger::uninstall(); }

    std::vector<std::string> lines() {
        writer_->flush();
        std::ifstream in(writer_->fileURL());
        std::vector<std::string> messages;
        for (std::string line; std::getline(in, line);) {
            // "[time] [session stamp] message"
            const auto end = line.find("] ", line.find("] ") + 2);
            messages.push_back(end == std::string::npos ? line : line.substr(end + 2));
        }
        return messages;
    }
    bool contains(const std::string& message) {
        const auto all = lines();
        return std::find(all.begin(), all.end(), message) != all.end();
    }
    std::size_t countStartingWith(const std::string& prefix) {
        const auto all = lines();
        return static_cast<std::size_t>(
            std::count_if(all.begin(), all.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
    }

private:
    TemporaryPaths paths_;
    ManualClock clock_;
    std::shared_ptr<RuntimeLogWriter> writer_;
};

/// A line with one word per space-separated piece, words spread evenly over `bounds`.
inline RecognizedTextLine makeLine(const std::string& text, Rect bounds, float confidence = 0.9f,
                                   std::optional<std::string> language = std::nullopt) {
    RecognizedTextLine line;
    line.text = text;
    line.bounds = bounds;
    line.confidence = confidence;
    line.recognizedLanguage = language;
    std::istringstream words(text);
    std::vector<std::string> pieces;
    for (std::string w; words >> w;) {
        pieces.push_back(w);
    }
    const double width = pieces.empty() ? 0 : bounds.width() / static_cast<double>(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        RecognizedTextItem word;
        word.lineID = line.id;
        word.order = static_cast<int>(i);
        word.text = pieces[i];
        word.bounds = Rect{{bounds.minX() + width * static_cast<double>(i), bounds.minY()}, {width, bounds.height()}};
        word.confidence = confidence;
        word.recognizedLanguage = language;
        line.words.push_back(word);
    }
    return line;
}

} // namespace brisklet::texttest
