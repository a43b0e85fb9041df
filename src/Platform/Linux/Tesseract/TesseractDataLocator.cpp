#include "Platform/Linux/Tesseract/TesseractDataLocator.h"

#include <cstdlib>
#include <map>

namespace brisklet {

std::vector<std::filesystem::path> TesseractDataLocator::defaultDirectories() {
    std::vector<std::filesystem::path> directories;
    if (const char* prefix = std::getenv("TESSDATA_PREFIX"); prefix && *prefix) {
        directories.emplace_back(prefix);
        directories.emplace_back(std::filesystem::path(prefix) / "tessdata");
    }
    for (const char* debian : {"/usr/share/tesseract-ocr/5/tessdata", "/usr/share/tesseract-ocr/4.00/tessdata",
                               "/usr/share/tessdata", "/usr/local/share/tessdata"}) {
        directories.emplace_back(debian);
    }
    return directories;
}

std::optional<std::string> TesseractDataLocator::tesseractLanguage(const std::string& bcp47) {
    static const std::map<std::string, std::string> models{
        {"zh-Hans", "chi_sim"}, {"zh-Hant", "chi_tra"}, {"zh", "chi_sim"}, {"en", "eng"}, {"ja", "jpn"}, {"ko", "kor"},
        {"fr", "fra"},          {"de", "deu"},          {"es", "spa"},     {"it", "ita"}, {"pt", "por"}, {"ru", "rus"},
    };
    if (const auto it = models.find(bcp47); it != models.end()) {
        return it->second;
    }
    const std::string language = bcp47.substr(0, bcp47.find_first_of("-_"));
    if (const auto it = models.find(language); it != models.end()) {
        return it->second;
    }
    return std::nullopt;
}

std::string TesseractDataLocator::debianPackage(const std::string& tesseractLanguage) {
    std::string package = "tesseract-ocr-" + tesseractLanguage;
    for (char& c : package) {
        if (c == '_') {
            c = '-';
        }
    }
    return package;
}

TesseractDataLocator::Located TesseractDataLocator::locate(const std::vector<std::string>& languages,
                                                           const std::vector<std::filesystem::path>& directories) {
    std::optional<Located> best;
    for (const auto& directory : directories) {
        Located candidate{directory, {}};
        for (const auto& language : languages) {
            std::error_code error;
            if (!std::filesystem::is_regular_file(directory / (language + ".traineddata"), error)) {
                candidate.missingLanguages.push_back(language);
            }
        }
        if (candidate.missingLanguages.empty()) {
            return candidate;
        }
        if (!best || candidate.missingLanguages.size() < best->missingLanguages.size()) {
            best = std::move(candidate);
        }
    }
    return best.value_or(Located{{}, languages});
}

} // namespace brisklet
