#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <cstdint>

namespace brisklet::testing_support {

/// A light page of text-like lines: words made of small random glyphs, paragraph gaps, and now
/// and then a coloured figure. Deterministic for a seed.
Image makeTextPage(int width, int height, std::uint32_t seed);

/// A toolbar-like bar: a solid colour with a few light labels.
Image makeBar(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint32_t seed);

/// Uniform background rows [top, top + height) of `page` (a blank stretch of the page).
void blankRows(Image& page, int top, int height);

/// Copies rows [sourceTop, sourceTop + blockHeight) over the rows below them `times` times, so
/// the page repeats one block (a list of identical entries).
void repeatBlock(Image& page, int sourceTop, int blockHeight, int times);

/// Rows [top, top + height) of `image`.
Image rowsOf(const Image& image, int top, int height);

/// `top` above `bottom`, same width.
Image stacked(const Image& top, const Image& bottom);

} // namespace brisklet::testing_support
