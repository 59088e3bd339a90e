#pragma once
// The score file billard.mdb: an SQLite 3 database with one table `nom` holding each player's name
// and best score. Nothing else in the program touches the file.

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace palinor {

inline constexpr auto kDatabaseFileName = "billard.mdb";
// Counted in Unicode code points, not UTF-16 units.
inline constexpr int kMaxNameLength = 255;
inline constexpr int kMaxStoredScore = 255;

// Every failure the window can show: `message` is French, names the cause and the file (full path).
struct DbError {
    enum class Kind {
        Missing,        // no file of that name yet
        NotADatabase,   // not an SQLite file, or a damaged one
        EmptyFile,      // zero bytes
        AccessDatabase, // a Microsoft Access (Jet or ACE) file
        WrongSchema,    // SQLite, but no table `nom` with exactly its four fields
        IsFolder,
        CannotRead,
        ReadOnly, // the file or its folder cannot be written
        CannotCreate,
        Busy, // another copy of the program kept the file locked past the wait
        NameTooLong,
        UnstorableName, // characters the file would not give back as they were
        EmptyName,
        BadScore,
        NotOpen, // an operation called before a successful open()
        Engine,  // any other refusal of the database engine
    };
    Kind kind;
    QString message;
};

// One record of `nom` as stored; the file may hold values the program never writes.
struct ScoreRecord {
    qint64 rowId = 0;
    QVariant name;  // "Nom Complet"; may be Null
    QVariant score; // "Score"; may be Null, out of range or not a number

    // Null, or a whole number 0..255.
    bool hasValidScore() const;
    // What the score table can show: a name and a valid score.
    bool readable() const { return !name.isNull() && hasValidScore(); }
    // The sign-up list's text: a Null name gives an empty text.
    QString nameText() const;
    /* hasValidScore(); a Null score gives 0 */
    int scoreValue() const;
};

struct ScanResult {
    std::vector<ScoreRecord> records; // empty when error is set
    std::optional<DbError> error;

    int unreadableCount() const;
};

struct ScoreDatabaseOptions {
    // How long a write waits for another copy of the program that holds the file, then fails with Busy.
    int busyTimeoutMs = 10000;
    // Decides whether the file is opened for writing; empty means QFileInfo::isWritable.
    std::function<bool(const QString& filePath)> isWritable;
};

// Code points in name.
int nameLength(const QString& name);
// The refusal for a name that cannot be stored (empty or longer than kMaxNameLength), if any.
std::optional<DbError> checkPlayerName(const QString& name);

class SqlConnection;

// One connection to one score file. Needs a QCoreApplication; use from the thread that created it.
class ScoreDatabase {
public:
    explicit ScoreDatabase(QString filePath, ScoreDatabaseOptions options = {});
    ~ScoreDatabase();
    ScoreDatabase(const ScoreDatabase&) = delete;
    ScoreDatabase& operator=(const ScoreDatabase&) = delete;

    // Builds the file with an empty table `nom` when nothing of that name exists; leaves anything
    // that exists alone (open() judges it). A half-built file never takes the name.
    std::optional<DbError> createIfMissing();
    // Recognises the file without writing to it, then opens it; read-only when it is not writable.
    // Missing when there is no file yet: the score table may show an empty table without a message.
    std::optional<DbError> open();
    // Every record of `nom`, in no particular order, Null and odd values included.
    /* isOpen(), else NotOpen */
    ScanResult scan();
    // Adds a record with the name exactly as given and the three scores Null.
    /* isOpen(); 1 <= nameLength(name) <= kMaxNameLength */
    std::optional<DbError> registerPlayer(const QString& name);
    // Deletes the listed records that still carry `name`, then adds `name` with `score`, in one
    // transaction: afterwards the file holds either all of it or none of it.
    /* isOpen(); rowIds from scan(); 1 <= nameLength(name) <= kMaxNameLength; 0 <= score <= 255 */
    std::optional<DbError> replaceScore(const std::vector<qint64>& removedRowIds, const QString& name,
                                        int score);
    // Also done by the destructor.
    void close();

    bool isOpen() const { return connection_ != nullptr; }
    // Opened read-only: listing works, every write is refused with DbError::Kind::ReadOnly.
    bool isReadOnly() const { return readOnly_; }
    QString filePath() const { return filePath_; }

private:
    std::optional<DbError> recognise() const;
    std::optional<DbError> checkSchema() const;
    std::optional<DbError> inWriteTransaction(const std::function<std::optional<DbError>()>& statements);

    QString filePath_;
    ScoreDatabaseOptions options_;
    std::unique_ptr<SqlConnection> connection_;
    bool readOnly_ = false;
};

// True when a file can be created in folder: tries to create and remove a temporary file there.
bool canCreateFilesIn(const QString& folder);

// Where billard.mdb lives: the program's folder when files can be written there, else the user's
// application data folder. An installed program thereby still keeps scores.
QString chooseDatabaseFolder(const QString& programFolder, const QString& userDataFolder,
                             const std::function<bool(const QString&)>& canWrite = canCreateFilesIn);
// The one path both windows use: chooseDatabaseFolder over the real folders, the user's folder
// created when chosen. Needs a QCoreApplication; never changes the current directory.
QString databasePath();

} // namespace palinor
