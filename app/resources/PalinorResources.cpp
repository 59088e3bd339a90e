#include "app/resources/PalinorResources.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <map>

// Q_INIT_RESOURCE declares the rcc entry point, so it must be used outside any namespace.
void palinor_init_resources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace palinor {

namespace {

// The drawings are decoded as sizes are asked for: a window asks for its small sizes only, and the large
// drawings stay undecoded for the launcher, which reads the installed files.
class ApplicationIconEngine final : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override
    {
        const int side = std::min(size.width(), size.height());
        if (side <= 0) {
            return {};
        }
        QPixmap& made = made_[side];
        if (made.isNull()) {
            const auto drawn = std::find_if(kApplicationIconSizes.begin(), kApplicationIconSizes.end() - 1,
                                            [side](int n) { return n >= side; });
            const QImage drawing(QStringLiteral(":/icons/palinor-%1.png").arg(*drawn));
            made = QPixmap::fromImage(
                *drawn == side ? drawing
                               : drawing.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
        return made;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatioF();
        painter->drawPixmap(rect, pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state));
    }

    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override
    {
        QList<QSize> sizes;
        for (int n : kWindowIconSizes) {
            sizes << QSize(n, n);
        }
        return sizes;
    }

    QIconEngine* clone() const override { return new ApplicationIconEngine(*this); }

private:
    std::map<int, QPixmap> made_;
};

} // namespace

QIcon applicationIcon()
{
    palinor_init_resources();
    return QIcon(new ApplicationIconEngine);
}

} // namespace palinor
