#pragma once
// Telling the program's own score file from anything else, before and after SQLite opens it.

#include "data/DbError.h"

#include <optional>

namespace palinor {

class SqlConnection;

// What recognition learns of a file beside its verdict.
struct FileFacts {
    bool walMode = false;       // its header asks for a write-ahead log
    bool writeAheadLog = false; // a non-empty "-wal" lies beside it
};

// Whether a file's first bytes are those of every SQLite file.
bool isSqliteHeader(const QByteArray& header);

// Looks at the name, the first bytes and the files SQLite keeps beside it, without blocking and without
// SQLite.
std::optional<DbError> recogniseFile(const QString& path, FileFacts* facts);

struct ContentVerdict {
    std::optional<DbError> refusal;         // not a score file, or it could not be read at all
    std::optional<DbError> readOnlyBecause; // Foreign or Damaged: it may be listed, never written
};

// The program's own file holds the plain table `nom` with its four fields and nothing else that could
// run or change a write; its pages pass SQLite's quick check.
ContentVerdict checkContents(SqlConnection& connection, const QString& path);

} // namespace palinor
