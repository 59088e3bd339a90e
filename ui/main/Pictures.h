#pragma once
// The program's own pictures, looked up as the board asks for them.

#include <QImage>
#include <QPixmap>

namespace palinor {

/* A device-independent bitmap as stored in the resources (header and pixels, no file header), 24 bits
   per pixel, uncompressed. Returns a null image when the bytes are not such a bitmap. */
QImage decodeDib(const QByteArray& dib);

/* The counting picture 100 + k for k discs, 100 <= id <= 130; decoded once, then cached.
   A null pixmap for any other id. */
QPixmap dominoPicture(int id);

/* The face of the pocket button with the given number of pips, 1..4. */
QPixmap dieFace(int pips);

} // namespace palinor
