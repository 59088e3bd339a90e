#include "AppIcon.h"

#include <algorithm>
#include <cmath>

namespace palinor::picgen {
namespace {

// Palette: 0 black (under the transparent pixels), 1..127 a wood ramp, 128..255 a grey ramp.
constexpr int woodFirst = 1;
constexpr int woodCount = 127;
constexpr int greyFirst = 128;
constexpr int greyCount = 128;
constexpr Rgb woodDark{225, 160, 92};
constexpr Rgb woodLight{255, 235, 187};

std::uint8_t lerp(int a, int b, int step, int steps)
{
    return static_cast<std::uint8_t>(a + (b - a) * step / (steps - 1));
}

// 0.0 = woodDark, 1.0 = woodLight; the main face, about RGB(249, 220, 168), sits near 0.8.
std::uint8_t woodIndex(double lightness)
{
    const int step = static_cast<int>(std::lround(std::clamp(lightness, 0.0, 1.0) * (woodCount - 1)));
    return static_cast<std::uint8_t>(woodFirst + step);
}

std::uint8_t greyIndex(int level)
{
    const int step = std::clamp(level, 0, 255) * (greyCount - 1) / 255;
    return static_cast<std::uint8_t>(greyFirst + step);
}

} // namespace

IndexedImage appIcon()
{
    IndexedImage icon;
    for (int i = 0; i < woodCount; ++i)
        icon.palette[woodFirst + i] = {lerp(woodDark.r, woodLight.r, i, woodCount),
                                       lerp(woodDark.g, woodLight.g, i, woodCount),
                                       lerp(woodDark.b, woodLight.b, i, woodCount)};
    for (int i = 0; i < greyCount; ++i) {
        const std::uint8_t level = lerp(0, 255, i, greyCount);
        icon.palette[greyFirst + i] = {level, level, level};
    }

    constexpr double centre = IndexedImage::size / 2.0;
    constexpr double radius = 11.0;
    constexpr double shadowShift = 2.6;
    for (int y = 0; y < IndexedImage::size; ++y) {
        for (int x = 0; x < IndexedImage::size; ++x) {
            const double dx = x + 0.5 - centre;
            const double dy = y + 0.5 - centre;
            const double distance = std::hypot(dx, dy);
            const int i = y * IndexedImage::size + x;
            icon.opaque[i] = distance <= radius;
            if (!icon.opaque[i])
                continue;
            const double fromLitCentre = std::hypot(dx + shadowShift, dy);
            if (fromLitCentre > radius) {
                // The crescent the disc would leave uncovered if moved left: its shadow side, darker
                // outwards.
                icon.index[i] = greyIndex(static_cast<int>(150 - 20 * (fromLitCentre - radius)));
            } else if (distance > radius - 1.0) {
                icon.index[i] = woodIndex(0.35);
            } else {
                // Faint growth rings and a lighter patch towards the upper left.
                const double rings = 0.05 * std::sin(distance * 2.2);
                const double light = -0.012 * (dx + dy);
                icon.index[i] = woodIndex(0.8 + rings + light);
            }
        }
    }
    return icon;
}

} // namespace palinor::picgen
