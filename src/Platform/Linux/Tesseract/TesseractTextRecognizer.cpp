#include "Platform/Linux/Tesseract/TesseractTextRecognizer.h"

#include "Platform/Linux/Tesseract/TesseractDataLocator.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <future>
#include <mutex>
#include <system_error>

namespace brisklet {

namespace {

using Outcome = Result<std::vector<TextObservation>, TextRecognitionError>;

// Without a value Tesseract guesses 70 dpi and warns on every call. 300 is the density its
// models expect; in our tests some values (144) made it misread whole lines of Chinese.
constexpr int sourceResolutionDpi = 300;
// Each engine holds its own copy of its models (tens of megabytes for Chinese and English). The
// screenshot pipeline uses two language orders; one more is room for a caller asking for others.
constexpr std::size_t maximumLoadedEngines = 3;

struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

Rect normalised(const PixelBox& box, int width, int height) {
    const double w = width;
    const double h = height;
    return Rect{{box.left / w, (h - box.bottom) / h}, {(box.right - box.left) / w, (box.bottom - box.top) / h}};
}

std::u32string scalarsAtEdges(const std::string& text) {
    // Only the first and last scalars matter for joining; decode just those.
    const auto decode = [&](std::size_t i) -> char32_t {
        const auto b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
        if (length == 1 || i + static_cast<std::size_t>(length) > text.size()) {
            return b;
        }
        char32_t s = b & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k) {
            s = (s << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        }
        return s;
    };
    std::size_t last = text.size() - 1;
    while (last > 0 && (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80) {
        --last;
    }
    return {decode(0), decode(last)};
}

bool isIdeograph(char32_t s) {
    return (s >= 0x3040 && s <= 0x30FF) || (s >= 0x3400 && s <= 0x9FFF) || (s >= 0xF900 && s <= 0xFAFF);
}

// Tesseract's Chinese model reports every ideograph as a word of its own; readers expect
// ideographs written together, with spaces kept only where Latin text meets.
bool needsSpaceBetween(const std::string& left, const std::string& right) {
    return !(isIdeograph(scalarsAtEdges(left)[1]) && isIdeograph(scalarsAtEdges(right)[0]));
}

std::string takeText(char* text) {
    std::string result = text ? text : "";
    delete[] text;
    while (!result.empty() && (result.back() == '\n' || result.back() == ' ')) {
        result.pop_back();
    }
    return result;
}

TextObservation readLine(tesseract::ResultIterator& it, int width, int height) {
    TextObservation observation;
    PixelBox lineBox;
    it.BoundingBox(tesseract::RIL_TEXTLINE, &lineBox.left, &lineBox.top, &lineBox.right, &lineBox.bottom);
    observation.boundingBox = normalised(lineBox, width, height);
    TextCandidate candidate;
    candidate.confidence = std::clamp(it.Confidence(tesseract::RIL_TEXTLINE) / 100.0f, 0.0f, 1.0f);
    do {
        const std::string word = takeText(it.GetUTF8Text(tesseract::RIL_WORD));
        PixelBox wordBox;
        if (!word.empty() &&
            it.BoundingBox(tesseract::RIL_WORD, &wordBox.left, &wordBox.top, &wordBox.right, &wordBox.bottom)) {
            if (!candidate.string.empty() && needsSpaceBetween(candidate.string, word)) {
                candidate.string += ' ';
            }
            const std::size_t begin = candidate.string.size();
            candidate.string += word;
            candidate.rangeBoxes.push_back({begin, candidate.string.size(), normalised(wordBox, width, height)});
        }
        if (it.IsAtFinalElement(tesseract::RIL_TEXTLINE, tesseract::RIL_WORD)) {
            break;
        }
    } while (it.Next(tesseract::RIL_WORD));
    observation.candidates.push_back(std::move(candidate));
    return observation;
}

// Tesseract's OpenMP threads make it several times slower on small images and compete with our
// own worker threads, so it runs single-threaded.
// WORKAROUND: libgomp reads OMP_THREAD_LIMIT once, when it is loaded (before main), so setting
// the variable here only reaches child processes; making every parallel region inactive with
// omp_set_max_active_levels(0) has the same effect at run time. The symbol is looked up so a
// Tesseract built without OpenMP needs nothing. (https://github.com/tesseract-ocr/tesseract/issues/898)
void runOpenMPSingleThreaded() {
    setenv("OMP_THREAD_LIMIT", "1", 0);
    using SetMaxActiveLevels = void (*)(int);
    if (const auto set = reinterpret_cast<SetMaxActiveLevels>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"))) {
        set(0);
    }
}

// Tesseract's debug output goes to a global file name; it is set once, before any engine loads,
// so engines loading on other threads never see it change.
void silenceDebugOutput() {
    static std::once_flag once;
    std::call_once(once, [] { tesseract::TessBaseAPI().SetVariable("debug_file", "/dev/null"); });
}

// Nothing when the models cannot be loaded.
std::unique_ptr<tesseract::TessBaseAPI> loadEngine(const std::string& key) {
    const auto separator = key.find('\n');
    const std::string directory = key.substr(0, separator);
    const std::string languages = key.substr(separator + 1);
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    if (api->Init(directory.c_str(), languages.c_str(), tesseract::OEM_LSTM_ONLY) != 0) {
        return nullptr;
    }
    return api;
}

} // namespace

TesseractTextRecognizer::TesseractTextRecognizer(std::vector<std::filesystem::path> dataDirectories)
    : dataDirectories_(std::move(dataDirectories)) {}

TesseractTextRecognizer::TesseractTextRecognizer()
    : TesseractTextRecognizer(TesseractDataLocator::defaultDirectories()) {}

// Engines still loading are waited for by their futures.
TesseractTextRecognizer::~TesseractTextRecognizer() = default;

Result<std::string, TextRecognitionError>
TesseractTextRecognizer::languageSet(const TextRecognitionRequest& request) const {
    std::vector<std::string> models;
    for (const auto& language : request.recognitionLanguages) {
        const auto model = TesseractDataLocator::tesseractLanguage(language);
        if (model && std::find(models.begin(), models.end(), *model) == models.end()) {
            models.push_back(*model);
        }
    }
    if (models.empty()) {
        models.push_back("eng");
    }
    const auto located = TesseractDataLocator::locate(models, dataDirectories_);
    if (!located.missingLanguages.empty()) {
        std::string message = "Tesseract language data is missing:";
        std::string packages;
        for (const auto& missing : located.missingLanguages) {
            message += " " + missing + ".traineddata";
            packages += " " + TesseractDataLocator::debianPackage(missing);
        }
        message += ". Install it with: sudo apt-get install" + packages;
        return Result<std::string, TextRecognitionError>::failure(
            {TextRecognitionErrorCode::languageDataMissing, message});
    }
    std::string joined;
    for (const auto& model : models) {
        joined += (joined.empty() ? "" : "+") + model;
    }
    return Result<std::string, TextRecognitionError>::success(located.directory.string() + "\n" + joined);
}

void TesseractTextRecognizer::prepare(const TextRecognitionRequest& request) {
    const auto key = languageSet(request);
    if (!key) {
        return;
    }
    runOpenMPSingleThreaded();
    silenceDebugOutput();
    std::lock_guard lock(enginesMutex_);
    if (std::none_of(engines_.begin(), engines_.end(), [&](const LoadedEngine& e) { return e.key == key.value(); })) {
        std::future<std::unique_ptr<tesseract::TessBaseAPI>> loading;
        try {
            loading = std::async(std::launch::async, loadEngine, key.value());
        } catch (const std::system_error&) {
            // No thread to spare: the engine loads when it is first used.
            loading = std::async(std::launch::deferred, loadEngine, key.value());
        }
        engines_.push_back({key.value(), std::move(loading), nullptr});
    }
}

Result<tesseract::TessBaseAPI*, TextRecognitionError> TesseractTextRecognizer::engine(const std::string& key) {
    using Found = Result<tesseract::TessBaseAPI*, TextRecognitionError>;
    silenceDebugOutput();
    std::lock_guard lock(enginesMutex_);
    auto loaded = std::find_if(engines_.begin(), engines_.end(), [&](const LoadedEngine& e) { return e.key == key; });
    if (loaded == engines_.end()) {
        engines_.push_back({key, std::async(std::launch::deferred, loadEngine, key), nullptr});
        loaded = engines_.end() - 1;
    }
    std::rotate(loaded, loaded + 1, engines_.end());
    LoadedEngine& chosen = engines_.back();
    if (chosen.loading.valid()) {
        chosen.api = chosen.loading.get();
    }
    if (!chosen.api) {
        engines_.pop_back();
        const auto separator = key.find('\n');
        return Found::failure(
            {TextRecognitionErrorCode::engineFailed,
             "Tesseract could not load " + key.substr(separator + 1) + " from " + key.substr(0, separator) + "."});
    }
    tesseract::TessBaseAPI* const api = chosen.api.get();
    // Only here, where recognitions are serialised, is an engine let go: never one in use.
    while (engines_.size() > maximumLoadedEngines) {
        engines_.erase(engines_.begin());
    }
    return Found::success(api);
}

Outcome TesseractTextRecognizer::recognize(const Image& image, const TextRecognitionRequest& request) {
    if (image.isEmpty() || image.pixels().size() != image.bytesPerRow() * static_cast<std::size_t>(image.height())) {
        return Outcome::failure({TextRecognitionErrorCode::invalidImage, "The image is empty."});
    }
    const auto languages = languageSet(request);
    if (!languages) {
        return Outcome::failure(languages.error());
    }
    std::lock_guard lock(recognitionMutex_);
    runOpenMPSingleThreaded();
    const auto found = engine(languages.value());
    if (!found) {
        return Outcome::failure(found.error());
    }
    tesseract::TessBaseAPI* api = found.value();
    api->SetPageSegMode(request.layout == TextLayout::singleLine ? tesseract::PSM_SINGLE_LINE : tesseract::PSM_AUTO);
    api->SetImage(image.data(), image.width(), image.height(), 4, static_cast<int>(image.bytesPerRow()));
    api->SetSourceResolution(sourceResolutionDpi);
    if (api->Recognize(nullptr) != 0) {
        api->Clear();
        return Outcome::failure({TextRecognitionErrorCode::engineFailed, "Tesseract failed to recognise the image."});
    }
    std::vector<TextObservation> observations;
    std::unique_ptr<tesseract::ResultIterator> it(api->GetIterator());
    if (it) {
        do {
            if (it->Empty(tesseract::RIL_TEXTLINE)) {
                continue;
            }
            TextObservation observation = readLine(*it, image.width(), image.height());
            if (!observation.candidates.front().string.empty() &&
                observation.boundingBox.height() >= request.minimumTextHeight) {
                observations.push_back(std::move(observation));
            }
        } while (it->Next(tesseract::RIL_TEXTLINE));
    }
    api->Clear();
    return Outcome::success(std::move(observations));
}

} // namespace brisklet
