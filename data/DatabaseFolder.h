#pragma once
// Where billard.mdb lives.

#include "data/DbError.h"

#include <QString>
#include <functional>
#include <optional>

namespace palinor {

inline constexpr auto kDatabaseFileName = "billard.mdb";
// The name the desktop knows the program by: its menu entry is share/applications/<id>.desktop.
inline constexpr auto kDesktopId = "org.example.palinor";

// True when a file can be created in folder: tries to create and remove a temporary file there.
bool canCreateFilesIn(const QString& folder);

// Installed, by the package or `cmake --install`: the program's folder (bin/ or games/) has a parent holding
// share/applications/org.example.palinor.desktop. A portable folder holds the program alone.
bool isInstalledProgram(const QString& programFolder);

// A billard.mdb beside the program is used, whatever the program's layout. Otherwise an installed program
// keeps its scores in the user's data folder, and a portable one beside itself while that folder can be
// written.
QString chooseDatabaseFolder(const QString& programFolder, const QString& userDataFolder, bool installed,
                             const std::function<bool(const QString&)>& canWrite = canCreateFilesIn);

struct DatabaseLocation {
    QString path;
    // The user's data folder was chosen but could not be created: why, in French.
    std::optional<DbError> error;
};
// The one path both windows use, over the real folders; the user's folder is created when chosen.
// Needs a QCoreApplication; never changes the current directory.
DatabaseLocation locateDatabase();

} // namespace palinor
