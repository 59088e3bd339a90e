// Byte layouts of the files the program carries: PNG, and an ICO that holds PNGs.
#pragma once

#include "Raster.h"

#include <cstdint>
#include <vector>

namespace palinor::picgen {

using Bytes = std::vector<std::uint8_t>;

/* An 8-bit RGB PNG. */
Bytes pngFile(const Raster& picture);

/* An 8-bit RGBA PNG. */
Bytes pngFile(const RgbaRaster& picture);

/* A .ico whose images are the given square PNGs, each side (at most 256) given in `sides`. */
Bytes icoFile(const std::vector<int>& sides, const std::vector<Bytes>& pngs);

} // namespace palinor::picgen
