#pragma once
// The board window's design, in twips from the top-left of each control's container.

#include "ui/Design.h"

namespace palinor::form1 {

using design::toPixels;
using design::Twips;

inline constexpr Twips kClientArea{0, 0, 11880, 8205};

// Index n is pocket n; left to right the pockets stand 2, 3, 4, 1.
inline constexpr Twips kCommand1[5] = {
    {}, {2640, 1680, 495, 495}, {480, 1680, 495, 495}, {1200, 1680, 495, 495}, {1920, 1680, 495, 495}};
inline constexpr Twips kImage1[5] = {{2280, 7440, 735, 735},
                                     {2640, 840, 495, 495},
                                     {480, 840, 495, 495},
                                     {1200, 840, 495, 495},
                                     {1920, 840, 495, 495}};
inline constexpr Twips kFrame1{3480, 600, 8175, 7815};
// Inside Frame1; wider than the frame, which clips their right ends.
inline constexpr Twips kLabel1{240, 360, 8295, 1095};
inline constexpr Twips kLabel2[5] = {
    {}, {240, 1560, 8295, 1095}, {240, 2760, 8295, 1095}, {240, 3960, 8295, 1095}, {240, 5160, 8295, 1095}};
// Hidden under Frame1: reached only through the Enter key.
inline constexpr Twips kCommand2{5760, 6240, 615, 495};
// A horizontal line from (360, 7320) to (3240, 7320).
inline constexpr Twips kLine1{360, 7320, 2880, 15};
// Shape1 is the board; Shape2..5 the pocket outlines along its top edge.
inline constexpr Twips kShapes[6] = {{},
                                     {360, 600, 2895, 7695},
                                     {360, 600, 735, 1095},
                                     {1080, 600, 735, 1095},
                                     {1800, 600, 735, 1095},
                                     {2520, 600, 735, 1095}};

} // namespace palinor::form1
