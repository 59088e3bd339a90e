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

/* A .ico holding the one 32 x 32, 8-bit image with its AND mask. */
Bytes icoFile(const IndexedImage& icon);

/* The icon as a 32 x 32 RGBA PNG, deflate "stored" blocks (no compression library needed). */
Bytes pngFile(const IndexedImage& icon);

} // namespace palinor::picgen
