// The application icon: a light wooden disc seen from above, with a grey shadow band on its right.
#pragma once

#include "Raster.h"

#include <array>

namespace palinor::picgen {

// The sizes the icon is drawn at, for desktops, task bars and title bars of any scale.
inline constexpr std::array<int, 8> appIconSizes{16, 24, 32, 48, 64, 128, 256, 512};

/* The icon drawn at size x size pixels with soft edges, 16 <= size <= 1024. */
RgbaRaster appIcon(int size);

} // namespace palinor::picgen
