#include "Formats.h"

#include <stdexcept>
#include <type_traits>
#include <zlib.h>

namespace palinor::picgen {
namespace {

void put16(Bytes& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& out, std::uint32_t v)
{
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

void put32BigEndian(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void putChunk(Bytes& out, const char (&type)[5], const Bytes& body)
{
    put32BigEndian(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    put32BigEndian(
        out, static_cast<std::uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// RGB (colour type 2) or RGBA (6) rows, each unfiltered.
template <typename Pixel> Bytes png(const Grid<Pixel>& picture, std::uint8_t colourType)
{
    Bytes header;
    put32BigEndian(header, static_cast<std::uint32_t>(picture.width()));
    put32BigEndian(header, static_cast<std::uint32_t>(picture.height()));
    header.insert(header.end(), {8, colourType, 0, 0, 0}); // 8 bits, deflate, standard filters, no interlace

    Bytes rows;
    for (int y = 0; y < picture.height(); ++y) {
        rows.push_back(0); // filter: none
        for (int x = 0; x < picture.width(); ++x) {
            const Pixel c = picture.at(x, y);
            rows.insert(rows.end(), {c.r, c.g, c.b});
            if constexpr (std::is_same_v<Pixel, Rgba>)
                rows.push_back(c.a);
        }
    }
    Bytes deflated(compressBound(static_cast<uLong>(rows.size())));
    auto size = static_cast<uLongf>(deflated.size());
    if (compress2(deflated.data(), &size, rows.data(), static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION) !=
        Z_OK)
        throw std::runtime_error("zlib cannot compress a picture");
    deflated.resize(size);

    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", deflated);
    putChunk(out, "IEND", {});
    return out;
}

} // namespace

Bytes pngFile(const Raster& picture)
{
    return png(picture, 2);
}

Bytes pngFile(const RgbaRaster& picture)
{
    return png(picture, 6);
}

Bytes icoFile(const std::vector<int>& sides, const std::vector<Bytes>& pngs)
{
    Bytes out;
    put16(out, 0); // reserved
    put16(out, 1); // icon, not cursor
    put16(out, static_cast<std::uint32_t>(pngs.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * pngs.size());
    for (std::size_t i = 0; i < pngs.size(); ++i) {
        if (sides.at(i) < 1 || sides[i] > 256)
            throw std::logic_error("an icon image is at most 256 pixels");
        const auto side = static_cast<std::uint8_t>(sides[i] % 256); // 0 stands for 256
        out.insert(out.end(), {side, side, 0, 0});                   // width, height, no palette, reserved
        put16(out, 1);                                               // planes
        put16(out, 32);                                              // bits per pixel
        put32(out, static_cast<std::uint32_t>(pngs[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(pngs[i].size());
    }
    for (const Bytes& image : pngs)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

} // namespace palinor::picgen
