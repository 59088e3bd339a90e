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

// The folder of the program's executable, as a name every file operation can use; the first call may change
// the current directory (see usableFolder).
QString programFolder();
// A folder given as the system's bytes. A name that text cannot hold without loss (a Latin-1 "clé-usb" on a
// UTF-8 system) makes the folder the current directory, and "." is its name. Empty when it cannot be entered.
QString usableFolder(const QByteArray& folder);

// True when a file can be created in folder: tries to create and remove a temporary file there.
bool canCreateFilesIn(const QString& folder);

// Installed, by the package or `cmake --install`: the program's folder (bin/ or games/) has a parent holding
// share/applications/org.example.palinor.desktop; by the Windows setup: its Uninstall.exe is beside the
// program. A portable folder holds the program alone.
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
// Needs a QCoreApplication; changes the current directory only as programFolder() does.
DatabaseLocation locateDatabase();

} // namespace palinor
