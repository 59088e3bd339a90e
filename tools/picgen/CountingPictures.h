// The 31 counting pictures: count k shows k / 10 ten-tokens and k % 10 white discs on the board's brown.
#pragma once

#include "Raster.h"

namespace palinor::picgen {

inline constexpr Rgb groundColour{128, 64, 0};
inline constexpr int countingSize = 25;
inline constexpr int highestCount = 30;

/* 0 <= count <= 30, scale 1 or 2 (twice the size, for screens of 200 %); throws if two pieces of the
   layout would touch or leave the picture */
Raster countingPicture(int count, int scale = 1);

} // namespace palinor::picgen
