#pragma once
// Telling the program's own score file from anything else, before and after SQLite opens it.

#include "data/DbError.h"

#include <optional>

namespace palinor {

class SqlConnection;

// Looks at the name and the first bytes only, without blocking and without SQLite. `walMode` tells a file
// whose header asks for a write-ahead log.
std::optional<DbError> recogniseFile(const QString& path, bool* walMode);

struct ContentVerdict {
    std::optional<DbError> refusal;         // not a score file, or it could not be read at all
    std::optional<DbError> readOnlyBecause; // Foreign or Damaged: it may be listed, never written
};

// The program's own file holds the plain table `nom` with its four fields and nothing else that could
// run or change a write; its pages pass SQLite's quick check.
ContentVerdict checkContents(SqlConnection& connection, const QString& path);

} // namespace palinor
