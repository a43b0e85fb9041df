#pragma once

#include "ZelvorApp/Background/SystemWallpaper.h"
#include "ZelvorCore/Foundation/Image.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

class DesktopPictureSource;
class WallpaperImageReader;

/// Finds the desktop pictures installed on this machine for the background panel: the picture on
/// the desktop now first, then each root's pictures with wide ones first. The list is cached for
/// the life of the catalog (one per process) and may be asked for from any thread.
class SystemWallpaperCatalog {
public:
    /// Extensions that may be listed; only those the reader decodes are used.
    static const std::vector<std::string>& candidateExtensions();
    /// Where Linux desktops keep their pictures, in search order: the system's GNOME/Xfce and KDE
    /// folders, then the user's own.
    static std::vector<std::filesystem::path> linuxRoots(const std::filesystem::path& homeDirectory);
    /// "Picture 2" before "Picture 10"; letters compare without regard to case.
    static bool standardOrderLess(std::string_view a, std::string_view b);

    /// `reader` and `desktop` must outlive the catalog.
    SystemWallpaperCatalog(const WallpaperImageReader& reader, const DesktopPictureSource& desktop,
                           std::vector<std::filesystem::path> roots);

    /// At most `limit` pictures in catalog order.
    std::vector<SystemWallpaper> wallpapers(int limit);
    /// A preview whose longer side is at most `maxPixelSize`: from the ready-made thumbnail when
    /// there is one, else from the picture; nothing when neither can be read.
    std::optional<Image> thumbnailImage(const SystemWallpaper& wallpaper, int maxPixelSize) const;
    /// The picture on the desktop now, as the desktop reports it (not cached: it can change).
    std::optional<std::filesystem::path> currentDesktopPicture() const;

    const std::set<std::string>& extensions() const { return extensions_; }

private:
    std::vector<SystemWallpaper> build(int limit) const;

    const WallpaperImageReader& reader_;
    const DesktopPictureSource& desktop_;
    std::vector<std::filesystem::path> roots_;
    std::set<std::string> extensions_;

    mutable std::mutex mutex_;
    std::optional<std::vector<SystemWallpaper>> cached_;
    int cachedLimit_ = 0;
};

} // namespace brisklet
