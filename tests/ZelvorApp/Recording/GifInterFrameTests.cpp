// The giflib encoder writes only what changed between frames; played back by a viewer (disposal,
// positions, transparency honoured), every frame must still show what went in.

#include "Platform/Linux/Gif/GiflibGIFEncoder.h"
#include "ZelvorApp/Recording/GifDecoding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace brisklet {
namespace {

namespace fs = std::filesystem;
using testing::DecodedGIF;
using testing::GIFFrameArea;

/// A small application window: title bar, dark sidebar, rows of glyph-like strokes, a picture.
Image window(int w, int h) {
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (y < 6) {
                image.setPixel(x, y, 220, 220, 224);
            } else if (x < w / 5) {
                image.setPixel(x, y, 43, 47, 54);
            } else if (y > h / 2 && x > w / 2) {
                image.setPixel(x, y, static_cast<std::uint8_t>(255 - x * 2), static_cast<std::uint8_t>(y * 4), 160);
            } else if (y % 6 > 1 && (x * 7 + y * 3) % 11 < 4) {
                image.setPixel(x, y, 50, 50, 56);
            } else {
                image.setPixel(x, y, 250, 250, 252);
            }
        }
    }
    return image;
}

Image withBlock(Image image, GIFFrameArea area, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    for (int y = area.top; y < area.top + area.height; ++y) {
        for (int x = area.left; x < area.left + area.width; ++x)
            image.setPixel(x, y, r, g, b);
    }
    return image;
}

const std::uint8_t* pixel(const Image& image, int x, int y) {
    return image.row(y) + static_cast<std::size_t>(x) * 4;
}

bool sameColour(const Image& a, const Image& b, int x, int y) {
    return std::equal(pixel(a, x, y), pixel(a, x, y) + 4, pixel(b, x, y));
}

int channelDifference(const Image& a, const Image& b, int x, int y) {
    int largest = 0;
    for (int c = 0; c < 3; ++c)
        largest = std::max(largest, std::abs(int(pixel(a, x, y)[c]) - int(pixel(b, x, y)[c])));
    return largest;
}

double meanDifference(const Image& a, const Image& b) {
    long long sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            for (int c = 0; c < 3; ++c)
                sum += std::abs(int(pixel(a, x, y)[c]) - int(pixel(b, x, y)[c]));
        }
    }
    return static_cast<double>(sum) / (static_cast<double>(a.width()) * a.height() * 3);
}

/// `image` with every other pixel of `area` one step lighter, like a browser's dithered gradient;
/// `phase` flips the pattern, as re-rendering does.
Image withNoise(Image image, GIFFrameArea area, int phase) {
    for (int y = area.top; y < area.top + area.height; ++y) {
        for (int x = area.left; x < area.left + area.width; ++x) {
            const std::uint8_t* p = pixel(image, x, y);
            const int step = (x + y + phase) % 2 == 0 ? 1 : 0;
            const auto nudge = [&](int c) { return static_cast<std::uint8_t>(std::clamp(p[c] + step, 0, 255)); };
            image.setPixel(x, y, nudge(0), nudge(1), nudge(2));
        }
    }
    return image;
}

bool opaque(const Image& image) {
    for (std::size_t i = 3; i < image.pixels().size(); i += 4) {
        if (image.pixels()[i] != 255)
            return false;
    }
    return true;
}

class GifInterFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = fs::temp_directory_path() /
               ("brisklet-gif-delta-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".gif");
        fs::remove(file);
    }
    void TearDown() override { fs::remove(file); }

    std::optional<DecodedGIF> encode(const std::vector<Image>& frames, int quality = GIFEncodingQuality::standard) {
        auto session = encoder.begin(file, frames.front().width(), frames.front().height(), 0, quality);
        EXPECT_TRUE(session.ok());
        if (!session.ok())
            return std::nullopt;
        for (const Image& frame : frames)
            EXPECT_TRUE(session.value()->addFrame(frame, 5).ok());
        EXPECT_TRUE(session.value()->finish().ok());
        return testing::decodeGIF(file);
    }

    /// Pixels whose source did not change between frames must show exactly what they showed.
    static int changedKeptPixels(const std::vector<Image>& sources, const DecodedGIF& decoded, std::size_t k) {
        int wrong = 0;
        for (int y = 0; y < sources[k].height(); ++y) {
            for (int x = 0; x < sources[k].width(); ++x) {
                if (sameColour(sources[k], sources[k - 1], x, y) &&
                    !sameColour(decoded.frames[k], decoded.frames[k - 1], x, y))
                    ++wrong;
            }
        }
        return wrong;
    }

    fs::path file;
    GiflibGIFEncoder encoder;
};

TEST_F(GifInterFrameTest, OnlyChangedAreasAreWrittenAndEveryFrameComposesBackToItsSource) {
    const Image base = window(64, 48);
    const GIFFrameArea red{20, 10, 6, 5};
    const GIFFrameArea blue{44, 30, 10, 8};
    const Image marked = withBlock(base, red, 230, 30, 40);
    const std::vector<Image> frames = {base, marked, marked, withBlock(marked, blue, 20, 60, 230), base};

    const auto decoded = encode(frames);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->frames.size(), frames.size());
    EXPECT_EQ(decoded->delays, std::vector<int>(frames.size(), 5));
    EXPECT_EQ(decoded->areas, (std::vector<GIFFrameArea>{
                                  {0, 0, 64, 48},  // the first frame is whole
                                  {20, 10, 6, 5},  // the red block appears
                                  {0, 0, 1, 1},    // nothing changed: one transparent pixel keeps the delay
                                  {44, 30, 10, 8}, // the blue block appears
                                  {20, 10, 34, 28} // both blocks go: the area spans them
                              }));
    for (std::size_t k = 0; k < frames.size(); ++k) {
        EXPECT_TRUE(opaque(decoded->frames[k])) << "frame " << k;
        EXPECT_LT(meanDifference(decoded->frames[k], frames[k]), 6.0) << "frame " << k;
        if (k > 0) {
            EXPECT_EQ(changedKeptPixels(frames, *decoded, k), 0) << "frame " << k;
        }
    }
    // A flat block needs one palette entry, so it comes back exactly.
    EXPECT_TRUE(sameColour(decoded->frames[1], frames[1], red.left + 3, red.top + 2));
    EXPECT_TRUE(sameColour(decoded->frames[3], frames[3], blue.left + 5, blue.top + 4));
    EXPECT_TRUE(sameColour(decoded->frames[3], frames[3], red.left, red.top));
}

TEST_F(GifInterFrameTest, AMovingPointerLeavesNoTrail) {
    const Image base = window(80, 40);
    std::vector<Image> frames;
    for (int i = 0; i < 12; ++i)
        frames.push_back(withBlock(base, {4 + i * 5, 12, 4, 6}, 0, 0, 0));

    const auto decoded = encode(frames);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->frames.size(), frames.size());
    for (std::size_t k = 1; k < frames.size(); ++k) {
        const int left = 4 + static_cast<int>(k - 1) * 5;
        EXPECT_EQ(decoded->areas[k], (GIFFrameArea{left, 12, 9, 6})) << "old and new pointer, frame " << k;
        EXPECT_EQ(changedKeptPixels(frames, *decoded, k), 0) << "frame " << k;
        int trail = 0;
        for (int y = 12; y < 18; ++y) {
            for (int x = left; x < left + 5; ++x)
                trail += channelDifference(decoded->frames[k], frames[k], x, y) > 48 ? 1 : 0;
        }
        EXPECT_EQ(trail, 0) << "where the pointer was, frame " << k;
    }
    EXPECT_LT(meanDifference(decoded->frames.back(), frames.back()), 6.0);
}

TEST_F(GifInterFrameTest, ASeeThroughFrameIsWrittenWholeAndSoIsTheFrameAfterIt) {
    const Image base = window(32, 24);
    Image seeThrough = base;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 16; ++x)
            seeThrough.setPixel(x, y, 0, 0, 0, 0);
    }
    const auto decoded = encode({seeThrough, base, base});
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->frames.size(), 3u);
    EXPECT_EQ(decoded->areas, (std::vector<GIFFrameArea>{{0, 0, 32, 24}, {0, 0, 32, 24}, {0, 0, 1, 1}}));
    EXPECT_EQ(pixel(decoded->frames[0], 3, 3)[3], 0) << "the see-through half stays see-through";
    EXPECT_EQ(pixel(decoded->frames[0], 20, 3)[3], 255);
    for (std::size_t k = 1; k < 3; ++k) {
        EXPECT_TRUE(opaque(decoded->frames[k])) << "frame " << k;
        EXPECT_LT(meanDifference(decoded->frames[k], base), 6.0) << "frame " << k;
    }
}

TEST_F(GifInterFrameTest, NothingOfEarlierFramesShowsThroughASeeThroughFrame) {
    const Image base = window(32, 24);
    const Image changed = withBlock(base, {20, 8, 6, 6}, 200, 30, 30); // written as a small area
    Image seeThrough = base;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 16; ++x)
            seeThrough.setPixel(x, y, 0, 0, 0, 0);
    }
    const auto decoded = encode({base, changed, seeThrough});
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->frames.size(), 3u);
    EXPECT_EQ(decoded->areas[1], (GIFFrameArea{0, 0, 32, 24})) << "the frame before is written whole";
    EXPECT_LT(meanDifference(decoded->frames[1], changed), 6.0);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(pixel(decoded->frames[2], x, y)[3], 0) << "at " << x << "," << y;
        }
    }
    EXPECT_EQ(pixel(decoded->frames[2], 20, 3)[3], 255);
}

TEST_F(GifInterFrameTest, EveryFaintColourOfASeeThroughFrameBecomesTransparent) {
    // A soft shadow: fully transparent, faint and half-faint bands of different colours.
    Image frame = window(48, 24);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const auto alpha = static_cast<std::uint8_t>(x < 8 ? 0 : x < 16 ? 40 : 90);
            frame.setPixel(x, y, static_cast<std::uint8_t>(x * 10), 20, static_cast<std::uint8_t>(y * 10), alpha);
        }
    }
    const auto decoded = encode({frame});
    ASSERT_TRUE(decoded);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            ASSERT_EQ(pixel(decoded->frames[0], x, y)[3], 0) << "at " << x << "," << y;
        }
    }
    EXPECT_EQ(pixel(decoded->frames[0], 40, 12)[3], 255);
}

TEST_F(GifInterFrameTest, NoiseOfOneStepIsLeftAsShownSoOnlyTheRealChangeIsWritten) {
    const Image base = window(96, 64);
    const GIFFrameArea noisy{24, 8, 64, 20}; // a gradient the browser re-dithers on every frame
    std::vector<Image> frames;
    for (int i = 0; i < 6; ++i)
        frames.push_back(withBlock(withNoise(base, noisy, i), {30 + i * 6, 40, 5, 5}, 200, 40, 40));

    const auto decoded = encode(frames);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->frames.size(), frames.size());
    for (std::size_t k = 1; k < frames.size(); ++k) {
        const int left = 30 + static_cast<int>(k - 1) * 6;
        EXPECT_EQ(decoded->areas[k], (GIFFrameArea{left, 40, 11, 5})) << "only the block moved, frame " << k;
        EXPECT_LT(meanDifference(decoded->frames[k], frames[k]), 6.0) << "frame " << k;
        for (int y = noisy.top; y < noisy.top + noisy.height; ++y) {
            for (int x = noisy.left; x < noisy.left + noisy.width; ++x)
                ASSERT_TRUE(sameColour(decoded->frames[k], decoded->frames[0], x, y)) << "crawl at " << x << "," << y;
        }
    }

    // At the top quality nothing is ignored: the noise is part of what changed.
    const auto exact = encode(frames, GIFEncodingQuality::maximum);
    ASSERT_TRUE(exact);
    EXPECT_LE(exact->areas[1].top, noisy.top + 1);
    EXPECT_GE(exact->areas[1].width, noisy.width - 2);
}

TEST_F(GifInterFrameTest, FramesShareOnePaletteAndSmallChangesCarryOnlyTheColoursTheyUse) {
    const Image base = window(64, 48);
    const std::vector<Image> frames = {base, withBlock(base, {20, 10, 6, 5}, 230, 30, 40),
                                       withBlock(base, {40, 30, 6, 5}, 230, 30, 40)};
    const auto decoded = encode(frames);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->localTableSizes.size(), 3u);
    EXPECT_EQ(decoded->localTableSizes[0], 0) << "the first frame's palette is the global table";
    for (std::size_t k = 1; k < 3; ++k) {
        // The block's colour, the colours it uncovers and the transparent entry.
        EXPECT_GT(decoded->localTableSizes[k], 0) << "frame " << k;
        EXPECT_LE(decoded->localTableSizes[k], 8) << "frame " << k;
        EXPECT_LT(meanDifference(decoded->frames[k], frames[k]), 6.0) << "frame " << k;
    }
}

TEST_F(GifInterFrameTest, ColoursThePaletteCannotShowBringANewOne) {
    const Image grey = withBlock(Image(48, 32), {0, 0, 48, 32}, 128, 128, 128);
    Image photo(48, 32); // many colours, none of them grey
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 48; ++x)
            photo.setPixel(x, y, static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(255 - y * 7), 40);
    }
    const auto decoded = encode({grey, photo, photo});
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->frames.size(), 3u);
    EXPECT_GT(decoded->localTableSizes[1], 64) << "the photo comes with a palette of its own";
    EXPECT_LT(meanDifference(decoded->frames[1], photo), 6.0);
    EXPECT_EQ(decoded->areas[2], (GIFFrameArea{0, 0, 1, 1})) << "an unchanged frame keeps its delay only";
    EXPECT_LT(meanDifference(decoded->frames[2], photo), 6.0);
}

TEST_F(GifInterFrameTest, LowerQualityMakesSmallerFilesThatStillShowTheFrames) {
    std::vector<Image> frames;
    for (int i = 0; i < 8; ++i) {
        Image frame(80, 48); // a slowly brightening gradient with a moving pointer
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 80; ++x)
                frame.setPixel(x, y, static_cast<std::uint8_t>(x * 3 + i), static_cast<std::uint8_t>(y * 4 + i), 120);
        }
        frames.push_back(withBlock(frame, {4 + i * 8, 20, 4, 6}, 0, 0, 0));
    }
    std::vector<std::uintmax_t> sizes;
    for (const int quality : {GIFEncodingQuality::maximum, GIFEncodingQuality::standard, 50}) {
        const auto decoded = encode(frames, quality);
        ASSERT_TRUE(decoded);
        sizes.push_back(fs::file_size(file));
        for (std::size_t k = 0; k < frames.size(); ++k)
            EXPECT_LT(meanDifference(decoded->frames[k], frames[k]), 6.0) << "quality " << quality << ", frame " << k;
        fs::remove(file);
    }
    EXPECT_GT(sizes[0], sizes[1]);
    EXPECT_GT(sizes[1], sizes[2]);
}

} // namespace
} // namespace brisklet
