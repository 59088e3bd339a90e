#pragma once
// Where billard.mdb lives.

#include <QString>
#include <functional>

namespace palinor {

inline constexpr auto kDatabaseFileName = "billard.mdb";

// True when a file can be created in folder: tries to create and remove a temporary file there.
bool canCreateFilesIn(const QString& folder);

// The program's folder when files can be written there, else the user's application data folder: an
// installed program thereby still keeps scores.
QString chooseDatabaseFolder(const QString& programFolder, const QString& userDataFolder,
                             const std::function<bool(const QString&)>& canWrite = canCreateFilesIn);
// The one path both windows use: chooseDatabaseFolder over the real folders, the user's folder created
// when chosen. Needs a QCoreApplication; never changes the current directory.
QString databasePath();

} // namespace palinor
