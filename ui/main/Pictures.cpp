#include "ui/main/Pictures.h"

#include "game/Board.h"

#include <QImage>
#include <QPixmapCache>
#include <functional>

namespace palinor {

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
        return QImage(QStringLiteral(":/pictures/%1%2.png").arg(id).arg(twice ? "@2x" : ""));
    });
}

QPixmap dieFace(int pips, qreal devicePixelRatio)
{
    return pictureFor(QStringLiteral("palinor-die-%1").arg(pips), 30, devicePixelRatio, [pips](bool twice) {
        return QImage(QStringLiteral(":/pictures/die%1%2.png").arg(pips).arg(twice ? "@2x" : ""));
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
