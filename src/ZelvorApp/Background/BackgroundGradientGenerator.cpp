#include "ZelvorApp/Background/BackgroundGradientGenerator.h"

#include "ZelvorCore/Models/HSBComponents.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

// Knuth's MMIX linear congruential generator: cheap, and identical everywhere because it is
// plain wrapping 64-bit arithmetic.
constexpr std::uint64_t multiplier = 0x5851F42D4C957F2DULL;
constexpr std::uint64_t increment = 0x14057B7EF767814FULL;
constexpr std::uint64_t zeroSeedState = 0x2CEAEE21BF46BC00ULL;

class Sequence {
public:
    explicit Sequence(std::uint64_t seed) : state_(seed == 0 ? zeroSeedState : seed * multiplier + increment) {}

    /// The value of the current state, in [0, 1).
    double current() const { return static_cast<double>(state_ >> 11) * 0x1.0p-53; }
    /// Steps, then gives the new state's value.
    double next() {
        state_ = state_ * multiplier + increment;
        return current();
    }

private:
    std::uint64_t state_;
};

double wrapUnit(double value) {
    const double wrapped = value - std::floor(value);
    return wrapped >= 1 ? 0 : wrapped;
}

double threeDecimals(double value) {
    return std::round(std::clamp(value, 0.0, 1.0) * 1000) / 1000;
}

double hueShift(int harmony, double u) {
    switch (harmony) {
    case 0:
        return 0.08 + 0.08 * u; // analogous
    case 1:
        return 0.42 + 0.1 * u; // near-complementary
    case 2:
        return 0.24 + 0.1 * u; // triadic-ish
    default:
        return -0.18 + 0.1 * u; // analogous the other way round
    }
}

} // namespace

BackgroundGradientGenerator::Pair BackgroundGradientGenerator::generate(std::uint64_t seed) {
    Sequence sequence(seed);
    const double hue1 = sequence.current();
    const int harmony = std::min(static_cast<int>(std::floor(4 * sequence.next())), 3);
    const double shift = hueShift(harmony, sequence.next());
    const double saturation1 = 0.54 + 0.24 * sequence.next();
    const double brightness1 = 0.72 + 0.22 * sequence.next();
    const double hue2 = wrapUnit(hue1 + shift);
    const double saturation2 = 0.5 + 0.32 * sequence.next();
    const double brightness2 = 0.62 + 0.28 * sequence.next();

    const auto rounded = [](StoredColor c) {
        return StoredColor{threeDecimals(c.red), threeDecimals(c.green), threeDecimals(c.blue), 1};
    };
    return {rounded(HSBComponents{hue1, saturation1, brightness1}.color()),
            rounded(HSBComponents{hue2, saturation2, brightness2}.color())};
}

} // namespace brisklet
