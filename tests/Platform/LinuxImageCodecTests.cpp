#include "Platform/Linux/Codec/LinuxImageCodec.h"

#include "Platform/Fake/TemporaryPaths.h"

#include <fstream>
#include <gtest/gtest.h>

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

TEST(LinuxImageCodecTest, PngRoundTripsOpaqueAndTranslucentImagesExactly) {
    LinuxImageCodec codec;
    for (const std::uint8_t alpha : {std::uint8_t{255}, std::uint8_t{90}}) {
        const Image image = gradient(37, 23, alpha);
        const auto bytes = codec.encode(image, ImageFormat::png);
        ASSERT_TRUE(bytes.ok());
        const auto decoded = codec.decode(bytes.value());
        ASSERT_TRUE(decoded.ok());
        EXPECT_EQ(decoded.value(), image);
    }
    // Opaque images are stored without an alpha channel (colour type 2 in the header).
    const auto opaque = codec.encode(gradient(8, 8, 255), ImageFormat::png).value();
    EXPECT_EQ(static_cast<int>(opaque[25]), 2);
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
