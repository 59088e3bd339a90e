#include "Formats.h"

#include "Deflate.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

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

int paeth(int left, int up, int upLeft)
{
    const int p = left + up - upLeft;
    const int pa = std::abs(p - left);
    const int pb = std::abs(p - up);
    const int pc = std::abs(p - upLeft);
    if (pa <= pb && pa <= pc)
        return left;
    return pb <= pc ? up : upLeft;
}

// Each row gets the PNG filter whose output bytes lie closest to zero, the usual rule of thumb.
Bytes filteredRows(const Bytes& pixels, int width, int height)
{
    constexpr int bpp = 4;
    const int stride = width * bpp;
    Bytes out;
    Bytes previousRow(static_cast<std::size_t>(stride), 0);
    for (int y = 0; y < height; ++y) {
        const auto* row = pixels.data() + static_cast<std::size_t>(y * stride);
        Bytes best;
        long bestCost = -1;
        for (int filter = 0; filter <= 4; ++filter) {
            Bytes candidate{static_cast<std::uint8_t>(filter)};
            long cost = 0;
            for (int i = 0; i < stride; ++i) {
                const int left = i >= bpp ? row[i - bpp] : 0;
                const int up = previousRow[static_cast<std::size_t>(i)];
                const int upLeft = i >= bpp ? previousRow[static_cast<std::size_t>(i - bpp)] : 0;
                const int predicted = filter == 1   ? left
                                      : filter == 2 ? up
                                      : filter == 3 ? (left + up) / 2
                                      : filter == 4 ? paeth(left, up, upLeft)
                                                    : 0;
                const auto value = static_cast<std::uint8_t>(row[i] - predicted);
                candidate.push_back(value);
                cost += value < 128 ? value : 256 - value;
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                best = std::move(candidate);
            }
        }
        out.insert(out.end(), best.begin(), best.end());
        previousRow.assign(row, row + stride);
    }
    return out;
}

// One true-colour icon image: BGRA rows bottom-up, then the AND mask, under a header of twice the height.
Bytes icoBitmap(const RgbaRaster& picture)
{
    const int n = picture.width();
    Bytes image;
    const std::uint32_t colourSize = rowStride(n, 32) * static_cast<std::uint32_t>(n);
    const std::uint32_t maskSize = rowStride(n, 1) * static_cast<std::uint32_t>(n);
    putInfoHeader(image, n, 2 * n, 32, colourSize + maskSize, 0);
    for (int y = n - 1; y >= 0; --y)
        for (int x = 0; x < n; ++x) {
            const Rgba c = picture.at(x, y);
            image.insert(image.end(), {c.b, c.g, c.r, c.a});
        }
    for (int y = n - 1; y >= 0; --y) {
        Bytes row(rowStride(n, 1), 0);
        for (int x = 0; x < n; ++x)
            if (picture.at(x, y).a == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        image.insert(image.end(), row.begin(), row.end());
    }
    return image;
}

// The 256-colour image as the original single-image icon carried it.
Bytes icoBitmap(const IndexedImage& icon)
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
    return image;
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

Bytes pngFile(const RgbaRaster& picture)
{
    Bytes pixels;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const Rgba c = picture.at(x, y);
            // Fully transparent pixels are stored black, so they repeat and compress.
            pixels.insert(pixels.end(), {c.a == 0 ? std::uint8_t{0} : c.r, c.a == 0 ? std::uint8_t{0} : c.g,
                                         c.a == 0 ? std::uint8_t{0} : c.b, c.a});
        }
    Bytes header;
    put32BigEndian(header, static_cast<std::uint32_t>(picture.width()));
    put32BigEndian(header, static_cast<std::uint32_t>(picture.height()));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, adaptive filters, no interlace

    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlibStream(filteredRows(pixels, picture.width(), picture.height())));
    putChunk(out, "IEND", {});
    return out;
}

Bytes icoFile(const IndexedImage& classic, const std::vector<RgbaRaster>& images)
{
    struct Entry {
        int size;
        int bitsPerPixel;
        Bytes data;
    };
    std::vector<Entry> entries{{IndexedImage::size, 8, icoBitmap(classic)}};
    for (const RgbaRaster& image : images) {
        if (image.width() != image.height() || image.width() > 256)
            throw std::logic_error("an icon image must be square and at most 256 pixels");
        // Windows reads its largest images as PNG, and only those are worth compressing.
        entries.push_back({image.width(), 32, image.width() == 256 ? pngFile(image) : icoBitmap(image)});
    }

    Bytes out;
    put16(out, 0); // reserved
    put16(out, 1); // icon, not cursor
    put16(out, static_cast<std::uint32_t>(entries.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const Entry& e : entries) {
        const auto side = static_cast<std::uint8_t>(e.size == 256 ? 0 : e.size); // 0 stands for 256
        out.insert(out.end(), {side, side, 0, 0}); // width, height, no palette count, reserved
        put16(out, 1);                             // planes
        put16(out, static_cast<std::uint32_t>(e.bitsPerPixel));
        put32(out, static_cast<std::uint32_t>(e.data.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const Entry& e : entries)
        out.insert(out.end(), e.data.begin(), e.data.end());
    return out;
}

} // namespace palinor::picgen
