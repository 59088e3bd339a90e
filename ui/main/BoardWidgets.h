#pragma once
// The plain pieces the board is drawn with: clickable labels, outlined rectangles, a line.

#include <QColor>
#include <QLabel>
#include <QWidget>

namespace palinor {

// A label that reports a click, as the round labels do.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// A rectangle drawn with a one-pixel black outline, filled or not; the outline keeps whole device
// pixels at every screen scale.
class OutlineShape : public QWidget {
    Q_OBJECT
public:
    explicit OutlineShape(QWidget* parent, QColor fill = Qt::transparent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
};

} // namespace palinor
