#include "ui/main/BoardWidgets.h"

#include <QMouseEvent>
#include <QPainter>

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
    painter.setPen(Qt::black);
    painter.setBrush(fill_.alpha() == 0 ? QBrush(Qt::NoBrush) : QBrush(fill_));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace palinor
