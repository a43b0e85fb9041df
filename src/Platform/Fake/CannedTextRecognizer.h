#pragma once

#include "Platform/TextRecognizer.h"

#include <mutex>
#include <vector>

namespace brisklet {

/// A recogniser that answers with prepared observations (or an error) and remembers what it
/// was asked to read.
class CannedTextRecognizer final : public TextRecognizer {
public:
    void setObservations(std::vector<TextObservation> observations);
    void setError(TextRecognitionError error);

    Result<std::vector<TextObservation>, TextRecognitionError>
    recognize(const Image& image, const TextRecognitionRequest& request) override;

    std::vector<Image> receivedImages() const;
    std::vector<TextRecognitionRequest> receivedRequests() const;

    /// An observation with one candidate whose words are located left to right in equal parts
    /// of `box` (words split at spaces).
    static TextObservation line(const std::string& text, Rect box, float confidence);

private:
    mutable std::mutex mutex_;
    Result<std::vector<TextObservation>, TextRecognitionError> answer_ =
        Result<std::vector<TextObservation>, TextRecognitionError>::success({});
    std::vector<Image> images_;
    std::vector<TextRecognitionRequest> requests_;
};

} // namespace brisklet
