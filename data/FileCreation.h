#pragma once
// Making a new, empty score file.

#include "data/DbError.h"
#include "data/FileSystem.h"

#include <memory>
#include <optional>

namespace palinor {

// Builds the file with an empty table `nom` when nothing of that name exists, under a temporary name that
// then takes the real one without replacing anything: billard.mdb is whole or absent. Leaves anything that
// exists alone. First removes the temporary files that a creation killed half-way left behind.
std::optional<DbError> createScoreFile(const QString& path);

// The one table of a score file.
QString createTableStatement();
// A new file under a free-looking temporary name beside path, of the kind a later creation removes once
// nothing holds it; held until destroyed. Not open when no such file could be made: file says why.
struct HeldTemporary {
    QString path;
    std::unique_ptr<HeldNewFile> file;
    // The temporary file and its journal, where they are still under their names.
    void remove() const;
};
// mode: as HeldNewFile's.
HeldTemporary holdTemporaryFor(const QString& path, int mode = -1);
// How much longer than path a temporary name is, at most.
inline constexpr int kTemporaryLonger = 18;

// Where an import puts its finished file before it takes the name path, where the folder has no hard links.
QString finishedImportName(const QString& path);

// The temporary names a creation uses for path: "billard.mdb.<random>.tmp" and its "-journal".
bool isCreationLeftover(const QString& fileName, const QString& databaseFileName);

} // namespace palinor
