#pragma once

// Reads a GIF back with giflib and plays it the way a viewer does, so tests compare what a user
// would see with the frames that went in.

#include "ZelvorCore/Foundation/Image.h"

#include <gif_lib.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brisklet::testing {

/// Where one frame's image lies on the canvas.
struct GIFFrameArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const GIFFrameArea&) const = default;
};

/// What giflib reads back from a file.
struct DecodedGIF {
    int width = 0;
    int height = 0;
    std::optional<int> loopCount;
    std::vector<int> delays;
    std::vector<GIFFrameArea> areas;
    /// Entries in each frame's own colour table; 0 when it uses the global one.
    std::vector<int> localTableSizes;
    /// The canvas as shown while each frame is up: frame images placed at their areas, transparent
    /// pixels leaving what was there, earlier frames disposed as they asked. Pixels never drawn
    /// are transparent black.
    std::vector<Image> frames;
};

namespace gifdecoding {

inline std::optional<int> loopCountOf(const SavedImage& saved) {
    for (int e = 0; e + 1 < saved.ExtensionBlockCount; ++e) {
        const ExtensionBlock& block = saved.ExtensionBlocks[e];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::string(reinterpret_cast<const char*>(block.Bytes), 11) == "NETSCAPE2.0") {
            const ExtensionBlock& data = saved.ExtensionBlocks[e + 1];
            return data.Bytes[1] | (data.Bytes[2] << 8);
        }
    }
    return std::nullopt;
}

inline void draw(const GifFileType& gif, const SavedImage& saved, int transparentIndex, Image& canvas) {
    const GifImageDesc& desc = saved.ImageDesc;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif.SColorMap;
    for (int y = 0; y < desc.Height; ++y) {
        for (int x = 0; x < desc.Width; ++x) {
            const int index = saved.RasterBits[y * desc.Width + x];
            if (index == transparentIndex || desc.Left + x >= canvas.width() || desc.Top + y >= canvas.height())
                continue;
            const GifColorType c = map->Colors[index];
            canvas.setPixel(desc.Left + x, desc.Top + y, c.Red, c.Green, c.Blue);
        }
    }
}

inline void clear(const GifImageDesc& desc, Image& canvas) {
    for (int y = desc.Top; y < std::min(desc.Top + desc.Height, canvas.height()); ++y) {
        for (int x = desc.Left; x < std::min(desc.Left + desc.Width, canvas.width()); ++x)
            canvas.setPixel(x, y, 0, 0, 0, 0);
    }
}

} // namespace gifdecoding

inline std::optional<DecodedGIF> decodeGIF(const std::filesystem::path& file) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(file.c_str(), &error);
    if (!gif)
        return std::nullopt;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return std::nullopt;
    }
    DecodedGIF out{gif->SWidth, gif->SHeight, std::nullopt, {}, {}, {}, {}};
    Image canvas(gif->SWidth, gif->SHeight);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        if (const auto loops = gifdecoding::loopCountOf(saved))
            out.loopCount = loops;
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &control);
        out.delays.push_back(control.DelayTime);
        const GifImageDesc& desc = saved.ImageDesc;
        out.areas.push_back({desc.Left, desc.Top, desc.Width, desc.Height});
        out.localTableSizes.push_back(desc.ColorMap ? desc.ColorMap->ColorCount : 0);
        const Image before = canvas;
        gifdecoding::draw(*gif, saved, control.TransparentColor, canvas);
        out.frames.push_back(canvas);
        if (control.DisposalMode == DISPOSE_BACKGROUND)
            gifdecoding::clear(desc, canvas);
        else if (control.DisposalMode == DISPOSE_PREVIOUS)
            canvas = before;
    }
    DGifCloseFile(gif, &error);
    return out;
}

} // namespace brisklet::testing
