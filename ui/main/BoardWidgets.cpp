#include "ui/main/BoardWidgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace palinor {

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and a release on the label, as for a button.
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}

OutlineShape::OutlineShape(QWidget* parent, QColor fill) : QWidget(parent), fill_(fill)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void OutlineShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (fill_.alpha() != 0) {
        painter.fillRect(rect(), fill_);
    }
    // The outline is laid on whole device pixels: at 125 % or 150 % a one-pixel pen falls between pixel
    // rows and an edge can vanish. Rounding inwards keeps every edge inside the widget's own pixels.
    const QTransform toDevice = painter.deviceTransform();
    const QRectF area = toDevice.mapRect(QRectF(rect()));
    constexpr qreal kSlack = 1e-6;
    const int left = qCeil(area.left() - kSlack);
    const int top = qCeil(area.top() - kSlack);
    const int width = qFloor(area.right() + kSlack) - left;
    const int height = qFloor(area.bottom() + kSlack) - top;
    if (width < 1 || height < 1) {
        return;
    }
    // One logical pixel in whole device pixels: 1 up to 199 %, 2 from 200 %.
    const int pen = qMax(1, qFloor(qAbs(toDevice.m11()) + kSlack));
    const int across = qMin(pen, width);
    const int down = qMin(pen, height);
    const QTransform fromDevice = toDevice.inverted();
    for (const QRect& edge :
         {QRect(left, top, width, down), QRect(left, top + height - down, width, down),
          QRect(left, top, across, height), QRect(left + width - across, top, across, height)}) {
        painter.fillRect(fromDevice.mapRect(QRectF(edge)), Qt::black);
    }
}

} // namespace palinor
