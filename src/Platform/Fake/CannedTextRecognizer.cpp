#include "Platform/Fake/CannedTextRecognizer.h"

namespace brisklet {

void CannedTextRecognizer::setObservations(std::vector<TextObservation> observations) {
    std::lock_guard lock(mutex_);
    answer_ = Result<std::vector<TextObservation>, TextRecognitionError>::success(std::move(observations));
}

void CannedTextRecognizer::setError(TextRecognitionError error) {
    std::lock_guard lock(mutex_);
    answer_ = Result<std::vector<TextObservation>, TextRecognitionError>::failure(std::move(error));
}

Result<std::vector<TextObservation>, TextRecognitionError>
CannedTextRecognizer::recognize(const Image& image, const TextRecognitionRequest& request) {
    std::lock_guard lock(mutex_);
    images_.push_back(image);
    requests_.push_back(request);
    return answer_;
}

std::vector<Image> CannedTextRecognizer::receivedImages() const {
    std::lock_guard lock(mutex_);
    return images_;
}

std::vector<TextRecognitionRequest> CannedTextRecognizer::receivedRequests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

TextObservation CannedTextRecognizer::line(const std::string& text, Rect box, float confidence) {
    TextCandidate candidate{text, confidence, {}};
    std::vector<std::pair<std::size_t, std::size_t>> words;
    std::size_t start = std::string::npos;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool space = i == text.size() || text[i] == ' ';
        if (!space && start == std::string::npos) {
            start = i;
        } else if (space && start != std::string::npos) {
            words.emplace_back(start, i);
            start = std::string::npos;
        }
    }
    const double width = words.empty() ? 0 : box.width() / static_cast<double>(words.size());
    for (std::size_t k = 0; k < words.size(); ++k) {
        const Rect wordBox{{box.minX() + width * static_cast<double>(k), box.minY()}, {width, box.height()}};
        candidate.rangeBoxes.push_back({words[k].first, words[k].second, wordBox});
    }
    return TextObservation{box, {candidate}};
}

} // namespace brisklet
