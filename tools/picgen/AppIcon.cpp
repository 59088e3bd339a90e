#include "AppIcon.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace palinor::picgen {
namespace {

// Wood lightness runs from 0 (dark) to 1 (light); the face, about RGB(249, 220, 168), sits near 0.8.
constexpr Rgb woodDark{225, 160, 92};
constexpr Rgb woodLight{255, 235, 187};

// The design is laid out on the 32-pixel grid; the other sizes scale it.
constexpr double designSize = 32.0;
constexpr double centre = designSize / 2.0;
constexpr double radius = 11.0;

// What the disc shows at a point of the design grid, relative to its centre: wood of some lightness, or
// the grey of its shadow side.
struct Shade {
    bool grey;
    double value; // wood lightness 0..1, or grey level 0..255
};

Shade shadeAt(double dx, double dy)
{
    constexpr double shadowShift = 2.6;
    const double distance = std::hypot(dx, dy);
    const double fromLitCentre = std::hypot(dx + shadowShift, dy);
    // The crescent the disc would leave uncovered if moved left: its shadow side, darker outwards.
    if (fromLitCentre > radius)
        return {true, 150 - 20 * (fromLitCentre - radius)};
    if (distance > radius - 1.0)
        return {false, 0.35};
    // Faint growth rings and a lighter patch towards the upper left.
    const double rings = 0.05 * std::sin(distance * 2.2);
    const double light = -0.012 * (dx + dy);
    return {false, 0.8 + rings + light};
}

double channel(int dark, int light, double t)
{
    return dark + (light - dark) * std::clamp(t, 0.0, 1.0);
}

} // namespace

RgbaRaster appIcon(int size)
{
    if (size < 16 || size > 1024)
        throw std::out_of_range("no icon of " + std::to_string(size) + " pixels");
    // Each pixel averages samples of the design, so the disc's edge is smooth at every size.
    const int samples = size <= 64 ? 8 : 4;
    const double step = designSize / size;
    RgbaRaster icon(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int covered = 0;
            double r = 0;
            double g = 0;
            double b = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double dx = (x + (sx + 0.5) / samples) * step - centre;
                    const double dy = (y + (sy + 0.5) / samples) * step - centre;
                    if (std::hypot(dx, dy) > radius)
                        continue;
                    ++covered;
                    const Shade shade = shadeAt(dx, dy);
                    if (shade.grey) {
                        const double level = std::clamp(shade.value, 0.0, 255.0);
                        r += level;
                        g += level;
                        b += level;
                    } else {
                        r += channel(woodDark.r, woodLight.r, shade.value);
                        g += channel(woodDark.g, woodLight.g, shade.value);
                        b += channel(woodDark.b, woodLight.b, shade.value);
                    }
                }
            }
            if (covered == 0)
                continue;
            const auto mean = [covered](double sum) {
                return static_cast<std::uint8_t>(std::lround(sum / covered));
            };
            icon.set(x, y,
                     {mean(r), mean(g), mean(b),
                      static_cast<std::uint8_t>(std::lround(255.0 * covered / (samples * samples)))});
        }
    }
    return icon;
}

} // namespace palinor::picgen
