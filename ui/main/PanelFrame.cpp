#include "ui/main/PanelFrame.h"

#include <QPainter>

namespace palinor {

void PanelFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    painter.fillRect(rect(), palette().window());
    // Bands rather than pen lines: at 125 % or 150 % a band still covers whole device pixels.
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    painter.fillRect(0, 0, w - 1, 1, shadow);
    painter.fillRect(0, 0, 1, h - 1, shadow);
    painter.fillRect(w - 2, 0, 1, h - 1, shadow);
    painter.fillRect(0, h - 2, w - 1, 1, shadow);
    painter.fillRect(1, 1, w - 3, 1, light);
    painter.fillRect(1, 1, 1, h - 3, light);
    painter.fillRect(w - 1, 0, 1, h, light);
    painter.fillRect(0, h - 1, w, 1, light);
}

} // namespace palinor
