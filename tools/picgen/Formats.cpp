#include "Formats.h"

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

constexpr std::uint32_t infoHeaderSize = 40;

void putInfoHeader(Bytes& out, std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                   std::uint32_t imageSize, std::int32_t pixelsPerMetre)
{
    put32(out, infoHeaderSize);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1); // planes
    put16(out, bitsPerPixel);
    put32(out, 0); // BI_RGB
    put32(out, imageSize);
    put32(out, static_cast<std::uint32_t>(pixelsPerMetre));
    put32(out, static_cast<std::uint32_t>(pixelsPerMetre));
    put32(out, 0); // colours used
    put32(out, 0); // colours important
}

std::uint32_t rowStride(int width, int bitsPerPixel)
{
    return static_cast<std::uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

void putBgrRows(Bytes& out, const Raster& picture)
{
    const std::uint32_t padding =
        rowStride(picture.width(), 24) - static_cast<std::uint32_t>(picture.width() * 3);
    for (int y = picture.height() - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb c = picture.at(x, y);
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        out.insert(out.end(), padding, 0);
    }
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putChunk(Bytes& out, const char (&type)[5], const Bytes& body)
{
    put32BigEndian(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    put32BigEndian(out, crc32(out.data() + start, out.size() - start));
}

} // namespace

Bytes dibResource(const Raster& picture, std::int32_t pixelsPerMetre)
{
    Bytes out;
    const std::uint32_t imageSize =
        rowStride(picture.width(), 24) * static_cast<std::uint32_t>(picture.height());
    putInfoHeader(out, picture.width(), picture.height(), 24, imageSize, pixelsPerMetre);
    putBgrRows(out, picture);
    return out;
}

Bytes bmpFile(const Raster& picture)
{
    const Bytes dib = dibResource(picture, 2835);
    constexpr std::uint32_t fileHeaderSize = 14;
    Bytes out{'B', 'M'};
    put32(out, fileHeaderSize + static_cast<std::uint32_t>(dib.size()));
    put32(out, 0); // reserved
    put32(out, fileHeaderSize + infoHeaderSize);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

Bytes icoFile(const IndexedImage& icon)
{
    constexpr int n = IndexedImage::size;
    Bytes image;
    const std::uint32_t xorSize = rowStride(n, 8) * n;
    const std::uint32_t andSize = rowStride(n, 1) * n;
    // An icon image states twice its height: the colour rows and the mask rows stacked.
    putInfoHeader(image, n, 2 * n, 8, xorSize + andSize, 0);
    for (const Rgb& c : icon.palette)
        image.insert(image.end(), {c.b, c.g, c.r, 0});
    for (int y = n - 1; y >= 0; --y)
        for (int x = 0; x < n; ++x)
            image.push_back(icon.opaque[y * n + x] ? icon.index[y * n + x] : 0);
    for (int y = n - 1; y >= 0; --y) {
        for (int byte = 0; byte < n / 8; ++byte) {
            std::uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (!icon.opaque[y * n + byte * 8 + bit])
                    bits |= static_cast<std::uint8_t>(0x80u >> bit);
            image.push_back(bits);
        }
    }

    Bytes out;
    put16(out, 0);                       // reserved
    put16(out, 1);                       // icon, not cursor
    put16(out, 1);                       // one image
    out.insert(out.end(), {n, n, 0, 0}); // width, height, 0 = 256 colours, reserved
    put16(out, 1);                       // planes
    put16(out, 8);                       // bits per pixel
    put32(out, static_cast<std::uint32_t>(image.size()));
    put32(out, 6 + 16); // the image follows the directory and its one entry
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

Bytes pngFile(const IndexedImage& icon)
{
    constexpr int n = IndexedImage::size;
    Bytes raw;
    for (int y = 0; y < n; ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < n; ++x) {
            const int i = y * n + x;
            const Rgb c = icon.opaque[i] ? icon.palette[icon.index[i]] : Rgb{};
            raw.insert(raw.end(), {c.r, c.g, c.b, static_cast<std::uint8_t>(icon.opaque[i] ? 255 : 0)});
        }
    }
    // zlib stream with one stored block: fine while the rows stay under 64 KiB.
    Bytes zlib{0x78, 0x01, 0x01};
    put16(zlib, static_cast<std::uint32_t>(raw.size()));
    put16(zlib, static_cast<std::uint32_t>(~raw.size() & 0xFFFFu));
    zlib.insert(zlib.end(), raw.begin(), raw.end());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521u;
        b = (b + a) % 65521u;
    }
    put32BigEndian(zlib, (b << 16) | a);

    Bytes header;
    put32BigEndian(header, n);
    put32BigEndian(header, n);
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, adaptive filters, no interlace

    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlib);
    putChunk(out, "IEND", {});
    return out;
}

} // namespace palinor::picgen
