#include "Raster.h"

#include <stdexcept>

namespace palinor::picgen {

Rgb blend(Rgb under, Rgb over, int alpha)
{
    auto mix = [alpha](int u, int o) {
        return static_cast<std::uint8_t>((u * (255 - alpha) + o * alpha + 127) / 255);
    };
    return {mix(under.r, over.r), mix(under.g, over.g), mix(under.b, over.b)};
}

Raster::Raster(int width, int height, Rgb fill)
    : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width * height), fill)
{
}

Rgb Raster::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        throw std::out_of_range("pixel outside the picture");
    return m_pixels[static_cast<std::size_t>(y * m_width + x)];
}

void Raster::set(int x, int y, Rgb colour)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        throw std::out_of_range("pixel outside the picture");
    m_pixels[static_cast<std::size_t>(y * m_width + x)] = colour;
}

} // namespace palinor::picgen
