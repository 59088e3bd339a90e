#include "app/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace palinor {

namespace {

// Set on a window whose content scrolls: its full size.
constexpr const char* kWholeSize = "palinorWholeSize";

// Moves the window's content, as it stands, into a view that scrolls.
void scrollContent(QWidget* window)
{
    auto* view = new QScrollArea;
    view->setFrameShape(QFrame::NoFrame);
    view->setFocusPolicy(Qt::NoFocus);
    // Moved, the widgets keep their tab order; the focus is given back.
    QWidget* focused = window->focusWidget();
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        main->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
        view->setWidget(main->takeCentralWidget());
        main->setCentralWidget(view);
    } else {
        // A dialog's controls stand where its design puts them, in no layout.
        auto* content = new QWidget;
        content->setFixedSize(window->size());
        for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow()) {
                child->setParent(content);
            }
        }
        view->setWidget(content);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(QMargins());
        layout->addWidget(view);
    }
    if (focused != nullptr) {
        focused->setFocus();
    }
}

// Limits the window to room, its content scrolling once the window is too large for it.
void fitInto(QWidget* window, QSize room)
{
    const QVariant scrolls = window->property(kWholeSize);
    const QSize whole = scrolls.isValid() ? scrolls.toSize() : window->size();
    if (!scrolls.isValid()) {
        if (whole.boundedTo(room) == whole) {
            return;
        }
        window->setProperty(kWholeSize, whole);
        scrollContent(window);
    }
    // A scroll bar beside the content rather than over it; a room as large as the window shows no bar.
    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, window);
    QSize wanted = whole;
    if (whole.height() > room.height()) {
        wanted.rwidth() += bar;
    }
    if (whole.width() > room.width()) {
        wanted.rheight() += bar;
    }
    window->setFixedSize(wanted.boundedTo(room));
}

} // namespace

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
    const QRect available = screen->availableGeometry();
    fitInto(window, available.size().shrunkBy(frame_));
    QRect frame(QPoint(), window->size().grownBy(frame_));
    frame.moveCenter(available.center());
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
