#include "ui/main/Pictures.h"

#include "game/Board.h"

#include <QFile>
#include <QPixmapCache>
#include <QtEndian>
#include <functional>

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

int devicePixelsFor(int side, qreal devicePixelRatio)
{
    return qMax(1, qRound(side * devicePixelRatio));
}

namespace {

constexpr qreal kRatioTolerance = 0.01;

// Drawings exist at 1x and 2x; other ratios get the 2x one resampled to the device pixels it covers, drawn
// unscaled: enlarging the 1x one by 1.5 doubles every other row, and Qt's own shrinking drops rows.
QPixmap pictureFor(const QString& key, int side, qreal devicePixelRatio,
                   const std::function<QImage(bool twice)>& load)
{
    const bool atOne = qAbs(devicePixelRatio - 1.0) < kRatioTolerance || devicePixelRatio < 1.0;
    const bool atTwo = qAbs(devicePixelRatio - 2.0) < kRatioTolerance;
    const qreal ratio = atOne ? 1.0 : atTwo ? 2.0 : devicePixelRatio;
    // Qt's pixmap cache lives and dies with the application, unlike a static of our own.
    const QString cacheKey = QStringLiteral("%1@%2").arg(key).arg(ratio);
    QPixmap picture;
    if (QPixmapCache::find(cacheKey, &picture)) {
        return picture;
    }
    QImage image = load(!atOne);
    if (image.isNull()) {
        return {};
    }
    if (!atOne && !atTwo) {
        const int device = devicePixelsFor(side, ratio);
        image = image.scaled(device, device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(ratio);
    picture = QPixmap::fromImage(image);
    QPixmapCache::insert(cacheKey, picture);
    return picture;
}

} // namespace

QPixmap dominoPicture(int id, qreal devicePixelRatio)
{
    if (id < kFirstPictureId || id > kLastPictureId) {
        return {};
    }
    return pictureFor(QStringLiteral("palinor-domino-%1").arg(id), 25, devicePixelRatio, [id](bool twice) {
        return decodeDib(readResource(QStringLiteral(":/pictures/%1%2.dib").arg(id).arg(twice ? "@2x" : "")));
    });
}

QPixmap dieFace(int pips, qreal devicePixelRatio)
{
    return pictureFor(QStringLiteral("palinor-die-%1").arg(pips), 30, devicePixelRatio, [pips](bool twice) {
        const QString path = QStringLiteral(":/pictures/die%1%2.bmp").arg(pips).arg(twice ? "@2x" : "");
        return decodeDib(readResource(path).mid(kFileHeaderSize));
    });
}

QIcon dieFaceIcon(int pips)
{
    QIcon icon;
    icon.addPixmap(dieFace(pips, 1.0));
    icon.addPixmap(dieFace(pips, 2.0));
    return icon;
}

} // namespace palinor
