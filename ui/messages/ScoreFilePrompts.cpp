#include "ui/messages/ScoreFilePrompts.h"

#include "data/AccessFormat.h"
#include "data/AccessImport.h"

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

bool offerAccessImport(MessageBoxes& boxes, const QString& databasePath)
{
    if (accessFormatOf(databasePath) != AccessFormat::Jet4) {
        return false;
    }
    if (!boxes.askImport(
            QStringLiteral("Le fichier des scores « %1 » vient de l'ancienne version du programme "
                           "(base Microsoft Access 2000). Importer ses joueurs et leurs scores ? "
                           "L'ancien fichier sera gardé tel quel, sous un autre nom.")
                .arg(shownPath(databasePath)))) {
        return false;
    }
    AccessImport import;
    {
        WaitCursor waiting;
        import = importAccessFile(databasePath, accessReaderPath());
    }
    boxes.tell(importMessage(import),
               import.error ? MessageBoxes::Icon::Warning : MessageBoxes::Icon::Information);
    return !import.error;
}

void tellAll(MessageBoxes& boxes, const QList<DbError>& messages)
{
    for (const DbError& message : messages) {
        boxes.tell(message.message, MessageBoxes::Icon::Warning);
    }
}

} // namespace palinor
