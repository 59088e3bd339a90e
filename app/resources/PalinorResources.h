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

// Every size the icon is drawn at; the launcher takes the installed files of all of them.
inline constexpr std::array<int, 8> kApplicationIconSizes{16, 24, 32, 48, 64, 128, 256, 512};
// The sizes a window offers its title bar, task bar and switcher (X11 sends each one to the window manager).
inline constexpr std::array<int, 5> kWindowIconSizes{16, 24, 32, 48, 64};

/* The windows' icon: it offers kWindowIconSizes, and reads a drawing only when a size is asked for, that
   size's own or else the next larger one made smaller. Registers the resources first. */
QIcon applicationIcon();

} // namespace palinor
