#include "ui/main/Pictures.h"

#include "game/Board.h"

#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>

namespace palinor {

int devicePixelsFor(int side, qreal devicePixelRatio)
{
    return qMax(1, qRound(side * devicePixelRatio));
}

namespace {

constexpr qreal kRatioTolerance = 0.01;

// Drawings exist at 1x and 2x; other ratios get the 2x one resampled to the device pixels it covers, drawn
// unscaled: enlarging the 1x one by 1.5 doubles every other row, and Qt's own shrinking drops rows.
// `name` is the resource's: ":/pictures/<name>.png", and "<name>@2x.png" drawn at twice the size.
QPixmap pictureFor(const QString& name, int side, qreal devicePixelRatio)
{
    const bool atOne = qAbs(devicePixelRatio - 1.0) < kRatioTolerance || devicePixelRatio < 1.0;
    const bool atTwo = qAbs(devicePixelRatio - 2.0) < kRatioTolerance;
    const qreal ratio = atOne ? 1.0 : atTwo ? 2.0 : devicePixelRatio;
    // Qt's pixmap cache lives and dies with the application, unlike a static of our own.
    const QString cacheKey = QStringLiteral("palinor-%1@%2").arg(name).arg(ratio);
    QPixmap picture;
    if (QPixmapCache::find(cacheKey, &picture)) {
        return picture;
    }
    QImage image(QStringLiteral(":/pictures/%1%2.png").arg(name, atOne ? "" : "@2x"));
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

constexpr int kDieSide = 30;

// A pocket button's face, made when the button is painted, for the device pixels it is painted at: the start
// decodes the drawing of its own screen only.
class DieFaceEngine final : public QIconEngine {
public:
    explicit DieFaceEngine(int pips) : pips_(pips) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State /*state*/) override
    {
        QPixmap face = dieFace(pips_, qreal(size.width()) / kDieSide);
        if (face.width() > size.width()) {
            face = face.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        if (mode == QIcon::Normal) {
            return face;
        }
        // A disabled or selected button dims or tints its face as Qt's own icons do.
        QStyleOption option;
        option.palette = QApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, face, &option);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatioF();
        painter->drawPixmap(rect, pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state));
    }

    QIconEngine* clone() const override { return new DieFaceEngine(*this); }

private:
    int pips_;
};

} // namespace

QPixmap dominoPicture(int id, qreal devicePixelRatio)
{
    if (id < kFirstPictureId || id > kLastPictureId) {
        return {};
    }
    return pictureFor(QString::number(id), 25, devicePixelRatio);
}

QPixmap dieFace(int pips, qreal devicePixelRatio)
{
    return pictureFor(QStringLiteral("die%1").arg(pips), kDieSide, devicePixelRatio);
}

QIcon dieFaceIcon(int pips)
{
    return QIcon(new DieFaceEngine(pips));
}

} // namespace palinor
