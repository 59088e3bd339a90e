#include "PocketPictures.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace palinor::picgen {
namespace {

struct Centre {
    double x;
    double y;
};

constexpr Rgb wood{245, 182, 87};
constexpr Rgb pipRim{255, 236, 200};
constexpr Rgb pipFace{12, 10, 8};
constexpr double near = 8.0;
constexpr double far = 22.0;
constexpr double middle = 15.0;

std::vector<Centre> pips(int pocket)
{
    switch (pocket) {
    case 1:
        return {{middle, middle}};
    case 2:
        return {{near, near}, {far, far}};
    case 3:
        return {{middle, near}, {near, far}, {far, far}};
    case 4:
        return {{near, near}, {far, near}, {near, far}, {far, far}};
    default:
        throw std::out_of_range("no pocket " + std::to_string(pocket));
    }
}

int clampByte(double v)
{
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)));
}

// Vertical grain: each column gets its own shade, with slow waves along it so the streaks are not ruled
// lines. x and y are in the small picture's pixels; the larger drawing samples between them, so its
// grain is finer rather than doubled.
Rgb woodAt(double x, double y, bool litEdge, bool shadowEdge)
{
    const double streak =
        9.0 * std::sin(x * 1.7) + 6.0 * std::sin(x * 0.63 + 1.0) + 3.0 * std::sin(x * 3.1 + 2.0);
    const double wave = 3.0 * std::sin(y * 0.35 + x * 0.9);
    double shade = streak + wave;
    // A faint bevel: the tile's upper-left edge catches the light, the lower-right one is in shadow.
    if (litEdge)
        shade += 14.0;
    if (shadowEdge)
        shade -= 22.0;
    return {static_cast<std::uint8_t>(clampByte(wood.r + shade)),
            static_cast<std::uint8_t>(clampByte(wood.g + shade * 1.1)),
            static_cast<std::uint8_t>(clampByte(wood.b + shade * 0.8))};
}

// Share (0..255) of a pixel's 4 x 4 sample points lying within radius of the centre.
int coverage(int x, int y, Centre c, double radius)
{
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
            const double dx = x + (sx + 0.5) / 4.0 - c.x;
            const double dy = y + (sy + 0.5) / 4.0 - c.y;
            inside += dx * dx + dy * dy <= radius * radius ? 1 : 0;
        }
    return inside * 255 / 16;
}

} // namespace

Raster pocketPicture(int pocket, int scale)
{
    if (scale != 1 && scale != 2)
        throw std::out_of_range("pocket pictures are drawn at 1x and 2x only");
    const std::vector<Centre> centres = pips(pocket);
    const int side = pocketPictureSize * scale;
    Raster picture(side, side, wood);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            // The bevel stays one small pixel wide at every scale.
            Rgb colour = woodAt((x + 0.5) / scale - 0.5, (y + 0.5) / scale - 0.5, x < scale || y < scale,
                                x >= side - scale || y >= side - scale);
            for (Centre c : centres) {
                const Centre at{c.x * scale, c.y * scale};
                colour = blend(colour, pipRim, coverage(x, y, at, 3.7 * scale));
                colour = blend(colour, pipFace, coverage(x, y, at, 2.9 * scale));
            }
            picture.set(x, y, colour);
        }
    }
    return picture;
}

} // namespace palinor::picgen
