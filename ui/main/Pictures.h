#pragma once
// The program's own pictures, looked up as the board asks for them, drawn for the screen they land on.

#include <QIcon>
#include <QPixmap>

namespace palinor {

/* The device pixels a picture of `side` logical pixels gets on a screen of the given ratio (> 0). */
int devicePixelsFor(int side, qreal devicePixelRatio);

/* The counting picture 100 + k for k discs, 100 <= id <= 130, for a screen of the given device pixel
   ratio: the 25 x 25 drawing at 1, the 50 x 50 drawing at 2, and at any other ratio the 50 x 50 drawing
   resampled to devicePixelsFor(25, ratio) pixels; the pixmap carries the ratio, so it always covers
   about 25 x 25 logical pixels. Made once per id and size, then cached. A null pixmap for any other id. */
QPixmap dominoPicture(int id, qreal devicePixelRatio = 1.0);

/* The face of the pocket button with the given number of pips, 1..4, chosen as for dominoPicture
   (30 x 30 logical pixels). */
QPixmap dieFace(int pips, qreal devicePixelRatio = 1.0);

/* The die face as a button's icon: each time it is painted, the dieFace for the device pixels it covers,
   so that a button shows the drawing that suits its own screen and no other is decoded. */
QIcon dieFaceIcon(int pips);

} // namespace palinor
