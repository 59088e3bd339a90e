#pragma once
// Centres windows on the screen frame included, as a person sees them. A window manager's frame is known only
// once it has framed a window: until then the last frame seen is assumed, and the window is centred again
// when its own frame arrives. A window too large for the screen is never drawn smaller: its content is shown
// at full size in a view that scrolls, the window limited to the screen's free area, so that everything drawn
// stays whole and every click lands where it is drawn.

#include <QMargins>
#include <QObject>

class QWidget;

namespace palinor {

class WindowPlacement : public QObject {
    Q_OBJECT
public:
    /* Before the window is shown. */
    void centre(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(QWidget* window) const;

    QMargins frame_;
};

} // namespace palinor
