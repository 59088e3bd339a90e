#pragma once
// What an interrupted writer leaves beside the score file, which SQLite would apply on opening it: a hot
// journal, or a write-ahead log. Nothing of it is applied before the file and the leftovers are copied
// aside under names the program never takes for its own file.

#include "data/DbError.h"

#include <QDateTime>
#include <optional>

namespace palinor {

struct SetAside {
    std::optional<DbError> refusal; // the copy could not be made: the file must not be opened
    std::optional<DbError>
        notice; // what the user is told: where the copy is; nothing when it was made before
};

// A non-empty "-wal" beside the file. Beside a rollback-mode file it belongs to another copy of the file:
// it is moved aside, never applied. Beside a write-ahead-mode file it is copied, then may be applied.
SetAside setAsideWriteAheadLog(const QString& path, bool walMode, const QDateTime& now);

// Before SQLite rolls a hot journal back into the file: the file and its journal copied aside.
SetAside backUpBeforeRollback(const QString& path, const QDateTime& now);

} // namespace palinor
