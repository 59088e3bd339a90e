#include "app/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace palinor {

void WindowPlacement::centre(QWidget* window)
{
    // A window built from layouts knows its size only once they have run.
    if (QLayout* layout = window->layout()) {
        layout->activate();
    }
    place(window);
    window->installEventFilter(this);
}

void WindowPlacement::place(QWidget* window) const
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame(QPoint(), window->size().grownBy(frame_));
    frame.moveCenter(screen->availableGeometry().center());
    // A window's position is that of its frame.
    window->move(frame.topLeft());
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = qobject_cast<QWidget*>(watched);
    if (window != nullptr && window->windowHandle() != nullptr &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        const QMargins frame = window->windowHandle()->frameMargins();
        if (!frame.isNull()) {
            window->removeEventFilter(this);
            if (frame != frame_) {
                frame_ = frame;
                place(window);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace palinor
