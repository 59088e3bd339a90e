#pragma once
// Importing the score file of the older program, a Microsoft Access 2000 (Jet 4) file, into a new SQLite file
// of the same name.

#include "data/AccessReader.h" // the reader an import runs
#include "data/DbError.h"

#include <QString>
#include <optional>

namespace palinor {

struct AccessImport {
    int imported = 0;
    int unreadable = 0;
    QString keptAs; // where the Access file now lies, unchanged
    std::optional<DbError> error;
};

// Reads the Access file at path, builds the new file under a temporary name beside it, renames the Access
// file "billard-ancien.mdb" (or "-2", "-3"… when taken), then gives the new file its name. When anything
// fails, nothing has changed.
AccessImport importAccessFile(const QString& path, const QString& reader, int timeoutMs = 10000);

// The message that tells the user how an import went.
QString importMessage(const AccessImport& import);

} // namespace palinor
