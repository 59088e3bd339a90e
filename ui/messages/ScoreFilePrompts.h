#pragma once
// How the windows reach the score file: operations under a wait cursor that ask whether to try again while
// another program holds the file, the messages told of it, and the offer to import the older Access file.

#include "data/DbError.h"
#include "ui/messages/MessageBoxes.h"

#include <QList>
#include <functional>
#include <optional>

namespace palinor {

using FileOperation = std::function<std::optional<DbError>()>;

// Runs the operation until it is done, fails for another cause than Busy, or the user gives up on a busy
// file. A Busy result means the user has already read why and chosen "Annuler".
std::optional<DbError> untilDone(MessageBoxes& boxes, const FileOperation& operation);

// The French question for a busy file.
QString busyQuestion(const DbError& busy);

// When the score file is the older program's Access 2000 file, asks whether to import it, imports it under a
// wait cursor and tells how it went. True when the file of that name is now the imported one.
bool offerAccessImport(MessageBoxes& boxes, const QString& databasePath);

// Tells each message as a warning.
void tellAll(MessageBoxes& boxes, const QList<DbError>& messages);

} // namespace palinor
