#include "Platform/Linux/Gif/GifSharedPalette.h"

#include <libimagequant.h>

#include <algorithm>

namespace brisklet {

namespace {

/// Owns a libimagequant image for the length of one call.
struct ImageHandle {
    liq_image* image = nullptr;
    ImageHandle(const ImageHandle&) = delete;
    ImageHandle& operator=(const ImageHandle&) = delete;
    explicit ImageHandle(liq_image* created) : image(created) {}
    ~ImageHandle() {
        if (image)
            liq_image_destroy(image);
    }
};

/// The colours libimagequant picks for the frame at the settings' speed and quality.
std::vector<liq_color> chooseColours(const std::uint8_t* rgba, int width, int height,
                                     const std::vector<std::uint8_t>& importance, const GifQuantizerSettings& settings,
                                     std::string& error) {
    liq_attr* attr = liq_attr_create();
    if (!attr) {
        error = "cannot create the quantizer";
        return {};
    }
    liq_set_speed(attr, std::clamp(settings.speed, 1, 10));
    liq_set_max_colors(attr, 255);
    // No lower bound: a frame that cannot reach the ceiling still gets the best palette there is.
    liq_set_quality(attr, 0, std::clamp(settings.maximumQuality, 1, 100));
    std::vector<liq_color> colours;
    liq_result* result = nullptr;
    {
        const ImageHandle image(liq_image_create_rgba(attr, rgba, width, height, 0));
        if (!image.image) {
            error = "cannot hand the frame to the quantizer";
        } else if (!importance.empty() &&
                   liq_image_set_importance_map(image.image, const_cast<unsigned char*>(importance.data()),
                                                importance.size(), LIQ_COPY_PIXELS) != LIQ_OK) {
            error = "cannot weight the frame for the quantizer";
        } else if (liq_image_quantize(image.image, attr, &result) != LIQ_OK) {
            error = "palette reduction failed";
        } else {
            const liq_palette* palette = liq_get_palette(result);
            colours.assign(palette->entries, palette->entries + std::min(palette->count, 255u));
        }
    }
    if (result)
        liq_result_destroy(result);
    liq_attr_destroy(attr);
    return colours;
}

} // namespace

std::unique_ptr<GifSharedPalette> GifSharedPalette::build(const std::uint8_t* rgba, int width, int height,
                                                          const std::vector<std::uint8_t>& importance,
                                                          const GifQuantizerSettings& settings, std::string& error) {
    const auto colours = chooseColours(rgba, width, height, importance, settings, error);
    if (colours.empty()) {
        return nullptr;
    }
    // libimagequant refines its palette towards every image it remaps at the speeds that choose
    // good palettes, which would give an index a different colour in every frame. The colours are
    // therefore handed, fixed, to a result at the fastest speed, which remaps without touching them.
    std::unique_ptr<GifSharedPalette> palette(new GifSharedPalette());
    palette->attr_ = liq_attr_create();
    if (!palette->attr_) {
        error = "cannot create the quantizer";
        return nullptr;
    }
    liq_set_speed(palette->attr_, 10);
    liq_set_max_colors(palette->attr_, static_cast<int>(colours.size()));
    liq_histogram* histogram = liq_histogram_create(palette->attr_);
    if (!histogram) {
        error = "cannot create the quantizer";
        return nullptr;
    }
    const liq_histogram_entry seed{colours.front(), 1};
    bool added = liq_histogram_add_colors(histogram, palette->attr_, &seed, 1, 0) == LIQ_OK;
    for (const liq_color& colour : colours) {
        added = added && liq_histogram_add_fixed_color(histogram, colour, 0) == LIQ_OK;
    }
    const bool quantized = added && liq_histogram_quantize(histogram, palette->attr_, &palette->result_) == LIQ_OK;
    liq_histogram_destroy(histogram);
    if (!quantized) {
        error = "palette reduction failed";
        return nullptr;
    }
    liq_set_dithering_level(palette->result_, std::clamp(settings.ditheringLevel, 0.0f, 1.0f));
    const liq_palette* fixed = liq_get_palette(palette->result_);
    for (unsigned i = 0; i < std::min(fixed->count, 255u); ++i) {
        palette->colours_.push_back({fixed->entries[i].r, fixed->entries[i].g, fixed->entries[i].b});
    }
    return palette;
}

GifSharedPalette::~GifSharedPalette() {
    if (result_)
        liq_result_destroy(result_);
    if (attr_)
        liq_attr_destroy(attr_);
}

bool GifSharedPalette::remap(const std::uint8_t* rgba, int width, int height,
                             std::vector<std::uint8_t>& indices) const {
    const ImageHandle image(liq_image_create_rgba(attr_, rgba, width, height, 0));
    if (!image.image) {
        return false;
    }
    indices.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    return liq_write_remapped_image(result_, image.image, indices.data(), indices.size()) == LIQ_OK;
}

} // namespace brisklet
