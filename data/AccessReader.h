#pragma once
// Reading the older program's Access file through the reader, a program of its own run in a process of its
// own: the library that reads Access files can crash on a damaged one, and must not take the program down.

#include "data/DbError.h"

#include <QList>
#include <QString>
#include <optional>

namespace palinor {

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

} // namespace palinor
