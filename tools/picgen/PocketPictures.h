// The pictures on the four pocket buttons: a tile of orange wood carrying 1 to 4 black pips.
#pragma once

#include "Raster.h"

namespace palinor::picgen {

inline constexpr int pocketPictureSize = 30;

/* 1 <= pocket <= 4; scale 1 or 2 (twice the size, for screens of 200 %) */
Raster pocketPicture(int pocket, int scale = 1);

} // namespace palinor::picgen
