#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// Finds Tesseract's trained language data and names what is missing.
class TesseractDataLocator {
public:
    /// $TESSDATA_PREFIX (and its "tessdata" folder) first, then Debian's folders.
    static std::vector<std::filesystem::path> defaultDirectories();

    /// "zh-Hans" → "chi_sim", "en-US" → "eng", …; nothing for languages without a model here.
    static std::optional<std::string> tesseractLanguage(const std::string& bcp47);
    /// "chi_sim" → "tesseract-ocr-chi-sim".
    static std::string debianPackage(const std::string& tesseractLanguage);

    struct Located {
        std::filesystem::path directory;
        std::vector<std::string> missingLanguages;
    };
    /// The first directory holding every language, else the one holding most of them with the
    /// languages it lacks.
    static Located locate(const std::vector<std::string>& tesseractLanguages,
                          const std::vector<std::filesystem::path>& directories);
};

} // namespace brisklet
