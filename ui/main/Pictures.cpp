#include "ui/main/Pictures.h"

#include "game/Board.h"

#include <QFile>
#include <QPixmapCache>
#include <QtEndian>

namespace palinor {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

constexpr int kMaxSide = 256; // the program's pictures are small; anything larger is not one of them

template <typename T> T le(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<T>(bytes.constData() + at);
}

QByteArray readResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QImage decodeDib(const QByteArray& dib)
{
    // Decoded here: the stored bitmaps lack the file header that Qt's reader expects.
    if (dib.size() < kInfoHeaderSize || le<quint32>(dib, 0) != kInfoHeaderSize) {
        return {};
    }
    const auto width = static_cast<qint32>(le<quint32>(dib, 4));
    const auto height = static_cast<qint32>(le<quint32>(dib, 8));
    const quint16 bitsPerPixel = le<quint16>(dib, 14);
    const quint32 compression = le<quint32>(dib, 16);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || compression != 0 ||
        bitsPerPixel != 24) {
        return {};
    }
    const qsizetype stride = (width * 3 + 3) / 4 * 4;
    const qsizetype pixels = kInfoHeaderSize + 4 * qsizetype{le<quint32>(dib, 32)};
    if (dib.size() < pixels + stride * height) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom row first, each pixel blue, green, red.
        const auto* row =
            reinterpret_cast<const uchar*>(dib.constData() + pixels + stride * (height - 1 - y));
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, row += 3) {
            line[x] = qRgb(row[2], row[1], row[0]);
        }
    }
    return image;
}

QPixmap dominoPicture(int id)
{
    if (id < kFirstPictureId || id > kLastPictureId) {
        return {};
    }
    // Qt's pixmap cache lives and dies with the application, unlike a static of our own.
    const QString key = QStringLiteral("palinor-domino-%1").arg(id);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap::fromImage(decodeDib(readResource(QStringLiteral(":/pictures/%1.dib").arg(id))));
        QPixmapCache::insert(key, picture);
    }
    return picture;
}

QPixmap dieFace(int pips)
{
    return QPixmap::fromImage(
        decodeDib(readResource(QStringLiteral(":/pictures/die%1.bmp").arg(pips)).mid(kFileHeaderSize)));
}

} // namespace palinor
