#pragma once
// Everything that can go wrong with the score file, each with the French text the user is shown.

#include <QString>

class QSqlError;

namespace palinor {

struct DbError {
    enum class Kind {
        Missing,        // no file of that name yet
        NotRegularFile, // a named pipe, a device, a socket: never opened, since opening could block
        LinkBeside,     // a file SQLite keeps beside it is a symbolic link: the file is not the program's own
        IsFolder,
        EmptyFile,      // zero bytes
        NotADatabase,   // not an SQLite file
        AccessDatabase, // a Microsoft Access (Jet or ACE) file, left as it is
        ImportFailed,   // the older program's Access file could not be imported: nothing changed
        WrongSchema,    // SQLite, but no plain table `nom` with exactly its four fields
        Foreign,        // the table, with something the program never makes beside it: listed, never written
        Damaged,        // the integrity check failed: listed when it can be, never written
        NeedsRecovery,  // left half-written by a killed writer, and it cannot be repaired here
        Recovered,      // not a failure: half-written leftovers were copied aside before the repair
        ForeignLogSetAside, // not a failure: another file's write-ahead log was moved aside, not applied
        CannotRead,
        ReadOnly,    // the file or its folder cannot be written
        Moved,       // renamed, moved or deleted while the program had it open
        PathTooLong, // longer than the database engine accepts
        CannotCreate,
        NoDataFolder, // the user's data folder, where an installed program keeps its scores, cannot be made
        DiskFull,
        Busy, // another program held the file locked past the wait
        NameTooLong,
        UnstorableName, // characters the file would not give back as they were
        EmptyName,
        BadScore,
        Engine, // any other refusal of the database engine
    };
    Kind kind;
    QString message;
    // What the message names, so that it can be told anew once the file has changed.
    QString path = {};
    QString detail = {};
};

// `detail` completes the message: the cause, what was found, the copy made, or a number, in French.
DbError dbError(DbError::Kind kind, const QString& path, const QString& detail = {});

// A refusal met right after the file was repaired cannot say the file was left as it was.
DbError afterRepair(const DbError& refusal);

// The kind and message for a refusal of the engine; `writing` tells a write from a read.
DbError engineError(const QString& path, const QSqlError& error, bool writing);

// A path as the messages show it: absolute, with the system's separators.
QString shownPath(const QString& path);

// Why a file operation failed, in French, from the system's error number.
QString systemCause(int errorNumber);

} // namespace palinor
