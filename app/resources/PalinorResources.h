// The pictures and the icon built into the program, as Qt resources:
//   :/pictures/100.png .. :/pictures/130.png   counting pictures
//   :/pictures/die1.png .. :/pictures/die4.png pocket button pictures
//   the same names with "@2x" before the dot    both sets drawn at twice the size, for 200 % screens
//   :/icons/palinor-16.png .. palinor-512.png  application icon, one file per size below
//   :/icons/palinor.ico                        the same icon for Windows (16 to 256 pixels)
#pragma once

#include <QIcon>
#include <array>

/* Makes sure the resources above are registered; call it before the first lookup. Calling it again is
 * harmless. */
void palinor_init_resources();

namespace palinor {

inline constexpr std::array<int, 8> kApplicationIconSizes{16, 24, 32, 48, 64, 128, 256, 512};

/* The application icon with every size above, so that title bars, task bars and switchers each take a
   drawing made for their size. Registers the resources first. */
QIcon applicationIcon();

} // namespace palinor
