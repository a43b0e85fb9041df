#pragma once

#include "Platform/TextRecognizer.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tesseract {
class TessBaseAPI;
}

namespace brisklet {

/// Text recognition with Tesseract 5's LSTM engine. The engine is loaded once per language set
/// and reused; calls are serialised because one engine instance is not thread-safe.
class TesseractTextRecognizer final : public TextRecognizer {
public:
    explicit TesseractTextRecognizer(std::vector<std::filesystem::path> dataDirectories);
    TesseractTextRecognizer();
    ~TesseractTextRecognizer() override;

    Result<std::vector<TextObservation>, TextRecognitionError>
    recognize(const Image& image, const TextRecognitionRequest& request) override;

private:
    Result<std::string, TextRecognitionError> languageSet(const TextRecognitionRequest& request) const;
    std::optional<TextRecognitionError> ensureEngine(const std::string& languages);

    std::vector<std::filesystem::path> dataDirectories_;
    std::mutex mutex_;
    std::unique_ptr<tesseract::TessBaseAPI> api_;
    std::string loadedLanguages_;
};

} // namespace brisklet
