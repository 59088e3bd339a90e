#pragma once
// Importing the score file of the older program, a Microsoft Access 2000 (Jet 4) file, into a new SQLite file
// of the same name. The Access file is read by a reader of its own, in a process of its own: the library that
// reads it can crash on a damaged file, and must not take the program down with it.

#include "data/DbError.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace palinor {

// What the first bytes and the size of a file say it is.
enum class AccessFormat {
    NotAccess,
    Jet3,      // Access 97
    Jet4,      // Access 2000: the older program's own format, the one imported
    Ace,       // Access 2007 or later
    Truncated, // Jet 4, but its size is not a whole number of 4096-byte pages
};
AccessFormat accessFormat(const QByteArray& header, qint64 size);
AccessFormat accessFormatOf(const QString& path);

// One record of table `nom` as the Access file holds it; a Null field is absent.
struct AccessRecord {
    std::optional<QString> name;
    std::optional<qint64> score, score1, score2;
    bool operator==(const AccessRecord&) const = default;
};

struct AccessReading {
    QList<AccessRecord> records;
    // Records whose values the reader gave but that cannot be stored as they are: not counted as imported.
    int unreadable = 0;
    std::optional<DbError> error;
};

// The reader: beside the program, or where it is installed.
QString accessReaderPath();

/* Runs the reader on an Access file, waiting at most timeoutMs; checks everything it says. */
AccessReading readAccessFile(const QString& path, const QString& reader, int timeoutMs = 10000);

struct AccessImport {
    int imported = 0;
    int unreadable = 0;
    QString keptAs; // where the Access file now lies, unchanged
    std::optional<DbError> error;
};

// Reads the Access file at path, builds the new file under a temporary name beside it, renames the Access file
// "billard-ancien.mdb" (or "-2", "-3"… when taken), then gives the new file its name. When anything fails,
// nothing has changed.
AccessImport importAccessFile(const QString& path, const QString& reader, int timeoutMs = 10000);

// The message that tells the user how an import went.
QString importMessage(const AccessImport& import);

} // namespace palinor
