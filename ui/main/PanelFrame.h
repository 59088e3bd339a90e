#pragma once
// The board's framed panel, drawn here because a style's group box shades its inside.

#include <QWidget>

namespace palinor {

// Its palette's Window colour, flat, inside a two-pixel etched edge of its Dark and Light colours.
class PanelFrame : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace palinor
