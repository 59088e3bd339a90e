// Byte layouts of the files the program carries: headerless DIB resources, BMP, ICO and PNG.
#pragma once

#include "Raster.h"

#include <cstdint>
#include <vector>

namespace palinor::picgen {

using Bytes = std::vector<std::uint8_t>;

/* A Windows bitmap resource: BITMAPINFOHEADER and 24-bit bottom-up rows, no file header, no palette. */
Bytes dibResource(const Raster& picture, std::int32_t pixelsPerMetre);

/* The same pixels as a .bmp file (14-byte file header first), for loaders that want one. */
Bytes bmpFile(const Raster& picture);

/* A .ico holding the 32 x 32, 8-bit image with its AND mask first, then each square true-colour image
   (at most 256 pixels; the 256-pixel one stored as PNG). */
Bytes icoFile(const IndexedImage& classic, const std::vector<RgbaRaster>& images);

/* An RGBA PNG, deflated with fixed Huffman codes (no compression library needed). */
Bytes pngFile(const RgbaRaster& picture);

} // namespace palinor::picgen
