#pragma once
// Every window's design is given in twips and plain colours; here they become pixels and palettes.

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace palinor::design {

inline constexpr int kTwipsPerPixel = 15;

struct Twips {
    int left, top, width, height;
};

/* The one place where twips become pixels. */
constexpr QRect toPixels(Twips t)
{
    return {t.left / kTwipsPerPixel, t.top / kTwipsPerPixel, t.width / kTwipsPerPixel,
            t.height / kTwipsPerPixel};
}

// Fills a widget's ground with one colour; with `boxes`, its text boxes and lists take the same ground.
inline void setGround(QWidget* widget, const QColor& colour, bool boxes = false)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    if (boxes) {
        palette.setColor(QPalette::Base, colour);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace palinor::design
