#pragma once
// Importing the score file of the older program, a Microsoft Access 2000 (Jet 4) file, into a new SQLite file
// of the same name.

#include "data/AccessReader.h" // the reader an import runs
#include "data/DbError.h"

#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

namespace palinor {

struct AccessImport {
    QString path;
    int imported = 0;
    int unreadable = 0;
    QString keptAs; // where the Access file now lies, unchanged
    // Another copy of the program imported the file first: its result is used, and nothing was done here.
    bool byAnotherCopy = false;
    // Leftovers of an SQLite writer that lay beside the Access file, each with the name it was moved to.
    QList<QPair<QString, QString>> setAside;
    std::optional<DbError> error;
};

// Reads the Access file at path, builds the new file under a temporary name beside it, gives the Access
// file the second name "billard-ancien.mdb" (or "-2", "-3"… when taken), then gives the new file the name
// path. When anything fails, nothing has changed; whenever the program stops, path names the Access file or
// the whole import. afterStep runs after each step that changes the folder.
AccessImport importAccessFile(const QString& path, const QString& reader, int timeoutMs = 10000,
                              const std::function<void()>& afterStep = {});

// The message that tells the user how an import went.
QString importMessage(const AccessImport& import);

} // namespace palinor
