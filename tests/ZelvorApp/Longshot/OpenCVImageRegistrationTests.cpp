#include "SyntheticPage.h"

#include "Platform/Linux/OpenCV/OpenCVImageRegistration.h"

#include <cmath>
#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace testing_support;

TEST(OpenCVImageRegistrationTest, FindsVerticalScrollsExactlyUpToMostOfTheBand) {
    const OpenCVImageRegistration registration;
    const Image page = makeTextPage(480, 2400, 81);
    for (const int shift : {3, 24, 77, 150, 233, 290}) {
        SCOPED_TRACE(shift);
        const auto result = registration.translation(rowsOf(page, 500, 320), rowsOf(page, 500 + shift, 320));
        ASSERT_TRUE(result);
        ASSERT_TRUE(result.value());
        EXPECT_NEAR(result.value()->ty, shift, 0.1) << "the content of the second image sits higher";
        EXPECT_NEAR(result.value()->tx, 0, 480.0 / OpenCVImageRegistration::correlationColumns);
    }
    const auto back = registration.translation(rowsOf(page, 700, 320), rowsOf(page, 600, 320));
    ASSERT_TRUE(back && back.value());
    EXPECT_NEAR(back.value()->ty, -100, 0.1);
}

TEST(OpenCVImageRegistrationTest, ReportsASidewaysDrift) {
    const OpenCVImageRegistration registration;
    const Image page = makeTextPage(640, 800, 82);
    const auto window = [&](int x, int y) {
        Image out(400, 300);
        for (int row = 0; row < 300; ++row) {
            std::copy(page.row(y + row) + x * 4, page.row(y + row) + (x + 400) * 4, out.row(row));
        }
        return out;
    };
    const auto result = registration.translation(window(100, 200), window(140, 260));
    ASSERT_TRUE(result && result.value());
    EXPECT_NEAR(result.value()->ty, 60, 0.5);
    EXPECT_NEAR(std::abs(result.value()->tx), 40, 400.0 / OpenCVImageRegistration::correlationColumns);
}

TEST(OpenCVImageRegistrationTest, FlatImagesGiveNoObservationAndTinyOnesAreRefused) {
    const OpenCVImageRegistration registration;
    Image flat(200, 200);
    flat.fill(240, 240, 240);
    const auto none = registration.translation(flat, flat);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none.value());

    const auto tiny = registration.translation(Image(4, 100), Image(4, 100));
    ASSERT_FALSE(tiny);
    EXPECT_EQ(tiny.error(), ImageRegistrationError::invalidInput);
}

TEST(OpenCVImageRegistrationTest, ImagesOfDifferentSizesAreComparedOverTheirCommonArea) {
    const OpenCVImageRegistration registration;
    const Image page = makeTextPage(480, 1600, 83);
    const auto result = registration.translation(rowsOf(page, 300, 360), rowsOf(page, 380, 300));
    ASSERT_TRUE(result && result.value());
    EXPECT_NEAR(result.value()->ty, 80, 0.1);
}

} // namespace
} // namespace brisklet
