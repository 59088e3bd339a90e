#include "ui/messages/FileAccess.h"

#include <QApplication>
#include <QGuiApplication>

namespace palinor {

namespace {

// Shows the wait cursor from construction to destruction.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

QString busyQuestion(const DbError& busy)
{
    return busy.message +
           QStringLiteral(" Rien n'a été lu ni enregistré pour l'instant.\n\nRéessayer maintenant ?");
}

std::optional<DbError> untilDone(MessageBoxes& boxes, const FileOperation& operation)
{
    for (;;) {
        std::optional<DbError> result;
        {
            WaitCursor waiting;
            result = operation();
        }
        if (!result || result->kind != DbError::Kind::Busy || !boxes.askRetry(busyQuestion(*result))) {
            return result;
        }
    }
}

void tellAll(MessageBoxes& boxes, const QList<DbError>& messages)
{
    for (const DbError& message : messages) {
        boxes.tell(message.message, MessageBoxes::Icon::Warning);
    }
}

} // namespace palinor
