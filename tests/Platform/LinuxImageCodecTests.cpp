#include "Platform/Linux/Codec/LinuxImageCodec.h"

#include "Platform/Linux/Codec/DeflatePngEncoder.h"
#include "Platform/Linux/Codec/ParallelZlib.h"

#include "Platform/Fake/TemporaryPaths.h"

#include <fstream>
#include <gtest/gtest.h>
#include <zlib.h>

namespace brisklet {
namespace {

Image gradient(int w, int h, std::uint8_t alpha) {
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 5),
                           static_cast<std::uint8_t>(x ^ y), alpha);
        }
    }
    return image;
}

/// Every filter has to win somewhere: smooth ramps, noise, hard edges and alpha that varies by pixel.
Image mixedContent(int w, int h) {
    Image image = gradient(w, h, 255);
    std::uint32_t state = 12345;
    for (int y = h / 2; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            const auto noise = static_cast<std::uint8_t>(state >> 24);
            image.setPixel(x, y, noise, static_cast<std::uint8_t>(x < w / 2 ? 0 : 255), static_cast<std::uint8_t>(y),
                           static_cast<std::uint8_t>(x % 3 == 0 ? noise : 255));
        }
    }
    return image;
}

TEST(LinuxImageCodecTest, PngRoundTripsOpaqueAndTranslucentImagesExactly) {
    for (const PngEncoderSettings settings : {PngEncoderSettings{}, PngEncoderSettings{7, false},
                                              PngEncoderSettings{1, false}, PngEncoderSettings{9, true}}) {
        const LinuxImageCodec codec(settings);
        for (const Image& image : {gradient(37, 23, 255), gradient(37, 23, 90), mixedContent(301, 40)}) {
            const auto bytes = codec.encode(image, ImageFormat::png);
            ASSERT_TRUE(bytes.ok());
            const auto decoded = codec.decode(bytes.value());
            ASSERT_TRUE(decoded.ok()) << "level " << settings.compressionLevel;
            EXPECT_EQ(decoded.value(), image) << "level " << settings.compressionLevel;
        }
    }
    // Opaque images are stored without an alpha channel (colour type 2 in the header).
    const auto opaque = LinuxImageCodec().encode(gradient(8, 8, 255), ImageFormat::png).value();
    EXPECT_EQ(static_cast<int>(opaque[25]), 2);
    // A damaged byte anywhere in the compressed data is caught by the chunk checksum.
    auto damaged = LinuxImageCodec().encode(mixedContent(64, 64), ImageFormat::png).value();
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x40);
    EXPECT_FALSE(LinuxImageCodec().decode(damaged).ok());
}

TEST(ParallelZlibTest, PartsMadeOnSeveralThreadsJoinIntoOneStreamZlibReads) {
    // Text-like data that repeats across the seams, with some noise.
    std::vector<std::uint8_t> data(3 * 1024 * 1024 + 17);
    std::uint32_t state = 7;
    for (std::size_t i = 0; i < data.size(); ++i) {
        state = state * 1103515245u + 12345u;
        data[i] = (state >> 28) == 0 ? static_cast<std::uint8_t>(state >> 20) : "the quick brown fox "[i % 20];
    }
    std::size_t singleSize = 0;
    for (const unsigned threads : {1u, 2u, 4u}) {
        const auto stream = ParallelZlib::compress(data.data(), data.size(), 6, threads);
        ASSERT_TRUE(stream);
        std::vector<std::uint8_t> back(data.size());
        uLongf backSize = static_cast<uLongf>(back.size());
        ASSERT_EQ(uncompress(back.data(), &backSize, stream->data(), static_cast<uLong>(stream->size())), Z_OK)
            << threads << " threads";
        ASSERT_EQ(backSize, data.size());
        EXPECT_EQ(back, data) << threads << " threads";
        if (threads == 1) {
            singleSize = stream->size();
        } else {
            EXPECT_LT(stream->size(), singleSize + singleSize / 20) << "matches reach back across the seams";
        }
    }
}

TEST(LinuxImageCodecTest, LargeImagesEncodedOnSeveralThreadsDecodeExactly) {
    const Image image = mixedContent(900, 800);
    for (const auto filters : {DeflatePngEncoder::Filters::sub, DeflatePngEncoder::Filters::adaptive}) {
        const auto png = DeflatePngEncoder(6, filters, 3).encode(image);
        ASSERT_TRUE(png);
        const auto decoded = LinuxImageCodec().decode(*png);
        ASSERT_TRUE(decoded.ok());
        EXPECT_EQ(decoded.value(), image);
    }
}

TEST(LinuxImageCodecTest, JpegIsCloseAndHeadersGiveSizesWithoutDecoding) {
    TemporaryPaths paths;
    LinuxImageCodec codec;
    Image flat(64, 48);
    flat.fill(120, 130, 140);
    const auto jpeg = paths.root() / "a.jpg";
    ASSERT_TRUE(codec.writeFile(flat, jpeg, ImageFormat::jpeg, 0.82).ok());
    const auto decoded = codec.readFile(jpeg);
    ASSERT_TRUE(decoded.ok());
    EXPECT_NEAR(decoded.value().data()[0], 120, 3);
    EXPECT_EQ(codec.readPixelSize(jpeg), (PixelSize{64, 48}));

    const auto png = paths.root() / "b.png";
    ASSERT_TRUE(codec.writeFile(gradient(300, 2, 255), png, ImageFormat::png).ok());
    EXPECT_EQ(codec.readPixelSize(png), (PixelSize{300, 2}));

    const auto gif = paths.root() / "c.gif";
    std::ofstream(gif, std::ios::binary) << std::string("GIF89a\x40\x01\xF0\x00", 10);
    EXPECT_EQ(codec.readPixelSize(gif), (PixelSize{320, 240}));
}

TEST(LinuxImageCodecTest, DamagedOrHostileInputIsAnErrorNotACrash) {
    LinuxImageCodec codec;
    EXPECT_EQ(codec.decode("not an image").error(), ImageCodecError::decodeFailed);
    auto png = codec.encode(gradient(16, 16, 255), ImageFormat::png).value();
    EXPECT_FALSE(codec.decode(png.substr(0, png.size() / 2)).ok());
    png[30] ^= 0x55; // breaks the header checksum
    EXPECT_FALSE(codec.decode(png).ok());

    // A header that claims 65535 × 65535 pixels must be refused before any allocation.
    std::string bomb = codec.encode(gradient(1, 1, 255), ImageFormat::png).value();
    bomb.replace(16, 8, std::string("\x00\x00\xff\xff\x00\x00\xff\xff", 8));
    EXPECT_FALSE(codec.decode(bomb).ok());

    EXPECT_EQ(codec.readFile("/nonexistent/file.png").error(), ImageCodecError::readFailed);
    EXPECT_FALSE(codec.encode(Image(), ImageFormat::png).ok());
}

} // namespace
} // namespace brisklet
