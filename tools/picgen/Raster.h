// A small in-memory picture: 24-bit colour, or colour with alpha.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace palinor::picgen {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Straight (not premultiplied) alpha, as PNG stores it.
struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

/* alpha 0..255: 0 keeps under, 255 gives over */
Rgb blend(Rgb under, Rgb over, int alpha);

template <typename Pixel> class Grid {
public:
    Grid(int width, int height, Pixel fill = {})
        : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width * height), fill)
    {
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    /* 0 <= x < width, 0 <= y < height; y = 0 is the top row */
    Pixel at(int x, int y) const { return m_pixels[index(x, y)]; }
    void set(int x, int y, Pixel colour) { m_pixels[index(x, y)] = colour; }

private:
    std::size_t index(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            throw std::out_of_range("pixel outside the picture");
        return static_cast<std::size_t>(y * m_width + x);
    }

    int m_width;
    int m_height;
    std::vector<Pixel> m_pixels;
};

using Raster = Grid<Rgb>;
using RgbaRaster = Grid<Rgba>;

} // namespace palinor::picgen
