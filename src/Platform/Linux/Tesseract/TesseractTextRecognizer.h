#pragma once

#include "Platform/TextRecognizer.h"

#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tesseract {
class TessBaseAPI;
}

namespace brisklet {

/// Text recognition with Tesseract 5's LSTM engine. An engine is loaded once per language set
/// and kept, so passes that prefer different languages do not reload one another's models;
/// `prepare` loads one on a thread of its own while another recognises. Recognitions are
/// serialised because one engine instance is not thread-safe.
class TesseractTextRecognizer final : public TextRecognizer {
public:
    explicit TesseractTextRecognizer(std::vector<std::filesystem::path> dataDirectories);
    TesseractTextRecognizer();
    ~TesseractTextRecognizer() override;

    Result<std::vector<TextObservation>, TextRecognitionError>
    recognize(const Image& image, const TextRecognitionRequest& request) override;
    void prepare(const TextRecognitionRequest& request) override;

private:
    Result<std::string, TextRecognitionError> languageSet(const TextRecognitionRequest& request) const;
    Result<tesseract::TessBaseAPI*, TextRecognitionError> engine(const std::string& key);

    struct LoadedEngine {
        std::string key;
        /// Valid until the engine is first used.
        std::future<std::unique_ptr<tesseract::TessBaseAPI>> loading;
        std::unique_ptr<tesseract::TessBaseAPI> api;
    };

    std::vector<std::filesystem::path> dataDirectories_;
    std::mutex recognitionMutex_;
    std::mutex enginesMutex_;
    /// Most recently used last.
    std::vector<LoadedEngine> engines_;
};

} // namespace brisklet
