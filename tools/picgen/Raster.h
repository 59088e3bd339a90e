// A small in-memory picture: 24-bit colour, or 8-bit palette indices with a transparency mask.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace palinor::picgen {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

/* alpha 0..255: 0 keeps under, 255 gives over */
Rgb blend(Rgb under, Rgb over, int alpha);

class Raster {
public:
    Raster(int width, int height, Rgb fill);

    int width() const { return m_width; }
    int height() const { return m_height; }
    /* 0 <= x < width, 0 <= y < height; y = 0 is the top row */
    Rgb at(int x, int y) const;
    void set(int x, int y, Rgb colour);

private:
    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

// What a .ico with one 256-colour image holds: palette indices plus a 1-bit opacity mask.
struct IndexedImage {
    static constexpr int size = 32;
    std::array<Rgb, 256> palette{};
    std::array<std::uint8_t, size * size> index{};
    std::array<bool, size * size> opaque{};
};

} // namespace palinor::picgen
