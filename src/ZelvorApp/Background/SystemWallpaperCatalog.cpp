#include "ZelvorApp/Background/SystemWallpaperCatalog.h"

#include "Platform/DesktopPictureSource.h"
#include "Platform/WallpaperImageReader.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <unordered_set>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

/// One picture found under a root, before ordering.
struct Candidate {
    fs::path file;
    std::string name;
    std::optional<fs::path> thumbnail;
};

std::string lowercased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string extensionOf(const fs::path& file) {
    const std::string ext = file.extension().string();
    return ext.empty() ? std::string() : lowercased(ext.substr(1));
}

bool isFile(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error);
}

/// The preview GNOME-style folders keep in ".thumbnails" beside the picture, under the same name.
std::optional<fs::path> siblingThumbnail(const fs::path& file) {
    const fs::path thumbnail = file.parent_path() / ".thumbnails" / file.filename();
    return isFile(thumbnail) ? std::optional<fs::path>(thumbnail) : std::nullopt;
}

/// Pictures that are not wallpapers: the flat colour swatches and the demo pictures of
/// promotional machines some collections ship.
bool isExcluded(const fs::path& file) {
    return file.generic_string().find("/Solid Colors/") != std::string::npos ||
           file.stem().string().rfind("iMac ", 0) == 0;
}

/// A KDE wallpaper package keeps one picture in several resolutions in "<package>/contents/images/";
/// the package, not each resolution, is one wallpaper.
std::optional<fs::path> kdePackageOf(const fs::path& file) {
    const fs::path images = file.parent_path();
    if (images.filename() != "images" || images.parent_path().filename() != "contents") {
        return std::nullopt;
    }
    return images.parent_path().parent_path();
}

/// The package's preview and its dark-style variants are part of the package, not wallpapers of
/// their own.
bool isKdePackageExtra(const fs::path& file) {
    const fs::path parent = file.parent_path();
    return (parent.filename() == "contents" && file.stem() == "screenshot") ||
           (parent.filename() == "images_dark" && parent.parent_path().filename() == "contents");
}

std::optional<fs::path> kdePackagePreview(const fs::path& package) {
    for (const char* name : {"screenshot.png", "screenshot.jpg", "screenshot.jpeg", "screenshot.webp"}) {
        if (isFile(package / "contents" / name)) {
            return package / "contents" / name;
        }
    }
    return std::nullopt;
}

/// Pixel sizes read once per build of the list.
class SizeCache {
public:
    explicit SizeCache(const WallpaperImageReader& reader) : reader_(reader) {}

    std::optional<PixelSize> size(const fs::path& file) {
        const auto found = sizes_.find(file);
        if (found != sizes_.end()) {
            return found->second;
        }
        return sizes_.emplace(file, reader_.pixelSize(file)).first->second;
    }

private:
    const WallpaperImageReader& reader_;
    std::map<fs::path, std::optional<PixelSize>> sizes_;
};

double area(const std::optional<PixelSize>& size) {
    return size ? static_cast<double>(size->width) * size->height : 0;
}

/// Landscape 0, portrait 1, anything else (square-ish or unreadable) 2.
int shapeClass(const std::optional<PixelSize>& size) {
    if (!size || size->height <= 0) {
        return 2;
    }
    const double ratio = static_cast<double>(size->width) / size->height;
    return ratio >= 1.25 ? 0 : ratio <= 0.85 ? 1 : 2;
}

class RootScanner {
public:
    RootScanner(const std::set<std::string>& extensions, SizeCache& sizes) : extensions_(extensions), sizes_(sizes) {}

    std::vector<Candidate> scan(const fs::path& root) {
        std::vector<Candidate> pictures;
        std::map<fs::path, std::vector<fs::path>> packages;
        std::error_code error;
        auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            const fs::path& path = it->path();
            std::error_code statError;
            if (it->is_directory(statError)) {
                // Ready-made previews are not wallpapers of their own.
                if (path.filename() == ".thumbnails") {
                    it.disable_recursion_pending();
                }
                continue;
            }
            if (!it->is_regular_file(statError) || !extensions_.contains(extensionOf(path)) || isExcluded(path) ||
                isKdePackageExtra(path)) {
                continue;
            }
            if (const auto package = kdePackageOf(path)) {
                packages[*package].push_back(path);
            } else {
                pictures.push_back({path, path.stem().string(), siblingThumbnail(path)});
            }
        }
        for (const auto& [package, files] : packages) {
            pictures.push_back({largest(files), package.filename().string(), kdePackagePreview(package)});
        }
        return pictures;
    }

private:
    fs::path largest(const std::vector<fs::path>& files) {
        return *std::max_element(files.begin(), files.end(), [&](const fs::path& a, const fs::path& b) {
            const double areaA = area(sizes_.size(a));
            const double areaB = area(sizes_.size(b));
            return areaA != areaB ? areaA < areaB : b < a;
        });
    }

    const std::set<std::string>& extensions_;
    SizeCache& sizes_;
};

void prioritise(std::vector<Candidate>& pictures, SizeCache& sizes) {
    std::stable_sort(pictures.begin(), pictures.end(), [&](const Candidate& a, const Candidate& b) {
        const int classA = shapeClass(sizes.size(a.file));
        const int classB = shapeClass(sizes.size(b.file));
        if (classA != classB) {
            return classA < classB;
        }
        const std::string nameA = a.file.filename().string();
        const std::string nameB = b.file.filename().string();
        if (SystemWallpaperCatalog::standardOrderLess(nameA, nameB) ||
            SystemWallpaperCatalog::standardOrderLess(nameB, nameA)) {
            return SystemWallpaperCatalog::standardOrderLess(nameA, nameB);
        }
        // Directory walks come in no particular order; the full path makes the order repeatable.
        return a.file < b.file;
    });
}

/// The list under construction: each path once, never more than the limit.
class WallpaperList {
public:
    explicit WallpaperList(int limit) : limit_(static_cast<std::size_t>(limit)) {}

    bool isFull() const { return list_.size() >= limit_; }
    void add(const Candidate& picture) {
        const std::string id = picture.file.lexically_normal().string();
        if (isFull() || !seen_.insert(id).second) {
            return;
        }
        list_.push_back({id, picture.file.lexically_normal(), picture.thumbnail, picture.name});
    }
    std::vector<SystemWallpaper> take() { return std::move(list_); }

private:
    std::size_t limit_;
    std::unordered_set<std::string> seen_;
    std::vector<SystemWallpaper> list_;
};

int compareDigits(std::string_view a, std::size_t& i, std::string_view b, std::size_t& j) {
    const auto run = [](std::string_view s, std::size_t& k) {
        const std::size_t start = k;
        while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
            ++k;
        }
        std::string_view digits = s.substr(start, k - start);
        while (digits.size() > 1 && digits.front() == '0') {
            digits.remove_prefix(1);
        }
        return digits;
    };
    const std::string_view x = run(a, i);
    const std::string_view y = run(b, j);
    if (x.size() != y.size()) {
        return x.size() < y.size() ? -1 : 1;
    }
    return x.compare(y) < 0 ? -1 : x.compare(y) > 0 ? 1 : 0;
}

} // namespace

const std::vector<std::string>& SystemWallpaperCatalog::candidateExtensions() {
    static const std::vector<std::string> extensions{"heic", "jpg", "jpeg", "png", "tiff", "webp"};
    return extensions;
}

std::vector<fs::path> SystemWallpaperCatalog::linuxRoots(const fs::path& homeDirectory) {
    return {"/usr/share/backgrounds", "/usr/share/wallpapers", homeDirectory / ".local/share/backgrounds",
            homeDirectory / ".local/share/wallpapers"};
}

bool SystemWallpaperCatalog::standardOrderLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[j]);
        if (std::isdigit(ca) && std::isdigit(cb)) {
            if (const int order = compareDigits(a, i, b, j); order != 0) {
                return order < 0;
            }
            continue;
        }
        const int la = std::tolower(ca);
        const int lb = std::tolower(cb);
        if (la != lb) {
            return la < lb;
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

SystemWallpaperCatalog::SystemWallpaperCatalog(const WallpaperImageReader& reader, const DesktopPictureSource& desktop,
                                               std::vector<fs::path> roots)
    : reader_(reader), desktop_(desktop), roots_(std::move(roots)) {
    for (const auto& extension : candidateExtensions()) {
        if (reader_.canDecode(extension)) {
            extensions_.insert(extension);
        }
    }
}

std::vector<SystemWallpaper> SystemWallpaperCatalog::wallpapers(int limit) {
    if (limit <= 0) {
        return {};
    }
    {
        const std::lock_guard lock(mutex_);
        if (cached_ && cachedLimit_ >= limit) {
            const auto count = std::min(cached_->size(), static_cast<std::size_t>(limit));
            return {cached_->begin(), cached_->begin() + static_cast<std::ptrdiff_t>(count)};
        }
    }
    auto list = build(limit);
    RuntimeLogger::log("system wallpapers listed count=" + std::to_string(list.size()) +
                       " limit=" + std::to_string(limit));
    const std::lock_guard lock(mutex_);
    cached_ = list;
    cachedLimit_ = limit;
    return list;
}

std::vector<SystemWallpaper> SystemWallpaperCatalog::build(int limit) const {
    WallpaperList list(limit);
    if (const auto current = desktop_.currentDesktopPicture(); current && extensions_.contains(extensionOf(*current))) {
        list.add({*current, current->stem().string(), siblingThumbnail(*current)});
    }
    SizeCache sizes(reader_);
    RootScanner scanner(extensions_, sizes);
    for (const auto& root : roots_) {
        std::error_code error;
        if (list.isFull() || !fs::is_directory(root, error)) {
            continue;
        }
        auto pictures = scanner.scan(root);
        prioritise(pictures, sizes);
        for (const auto& picture : pictures) {
            list.add(picture);
        }
    }
    return list.take();
}

std::optional<Image> SystemWallpaperCatalog::thumbnailImage(const SystemWallpaper& wallpaper, int maxPixelSize) const {
    if (maxPixelSize < 1) {
        return std::nullopt;
    }
    if (wallpaper.thumbnailURL) {
        if (auto image = reader_.thumbnail(*wallpaper.thumbnailURL, maxPixelSize)) {
            return image;
        }
    }
    return reader_.thumbnail(wallpaper.url, maxPixelSize);
}

std::optional<fs::path> SystemWallpaperCatalog::currentDesktopPicture() const {
    return desktop_.currentDesktopPicture();
}

} // namespace brisklet
