#include "data/ScoreDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace palinor {

namespace {

using Kind = DbError::Kind;

// SQLite's primary result codes, as Qt reports them in QSqlError::nativeErrorCode().
enum SqliteCode { Corrupt = 11, Busy = 5, Locked = 6, ReadOnly = 8, Full = 13, CantOpen = 14, NotADb = 26 };

const QString kScanQuery = QStringLiteral("SELECT rowid, * FROM nom");
const QStringList kFields = {QStringLiteral("Nom Complet"), QStringLiteral("Score"), QStringLiteral("Score1"),
                             QStringLiteral("Score2")};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

DbError fileError(Kind kind, const QString& path, const QString& detail = {})
{
    const QString file = shown(path);
    QString text;
    switch (kind) {
    case Kind::Missing:
        text = QStringLiteral("Le fichier des scores « %1 » n'existe pas encore.").arg(file);
        break;
    case Kind::NotADatabase:
        text =
            QStringLiteral("Le fichier « %1 » n'est pas une base de scores lisible : son contenu n'est pas "
                           "reconnu ou il est endommagé. Il n'a pas été modifié.")
                .arg(file);
        break;
    case Kind::EmptyFile:
        text = QStringLiteral("Le fichier « %1 » est vide (0 octet) : ce n'est pas une base de scores. "
                              "Il n'a pas été modifié.")
                   .arg(file);
        break;
    case Kind::AccessDatabase:
        text = QStringLiteral(
                   "Le fichier « %1 » est une base Microsoft Access (%2), l'ancien format des scores, "
                   "que ce programme ne sait pas encore lire. Il n'a pas été modifié.")
                   .arg(file, detail);
        break;
    case Kind::WrongSchema:
        text = QStringLiteral("Le fichier « %1 » est une base SQLite, mais %2 : ce n'est pas une base de "
                              "scores. Il n'a pas été modifié.")
                   .arg(file, detail);
        break;
    case Kind::IsFolder:
        text = QStringLiteral("« %1 » est un dossier et non un fichier de scores.").arg(file);
        break;
    case Kind::CannotRead:
        text = QStringLiteral("Le fichier des scores « %1 » ne peut pas être lu : %2.").arg(file, detail);
        break;
    case Kind::ReadOnly:
        text =
            QStringLiteral("Le fichier des scores « %1 » ne peut pas être modifié : le fichier est en "
                           "lecture seule ou son dossier est protégé en écriture. Rien n'a été enregistré.")
                .arg(file);
        break;
    case Kind::CannotCreate:
        text = QStringLiteral("Le fichier des scores « %1 » ne peut pas être créé : le dossier « %2 » "
                              "n'existe pas ou n'accepte pas de nouveau fichier.")
                   .arg(file, QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        break;
    case Kind::Busy:
        text = QStringLiteral("Le fichier des scores « %1 » est occupé par un autre exemplaire du programme. "
                              "Rien n'a été enregistré ; réessayez plus tard.")
                   .arg(file);
        break;
    case Kind::NotOpen:
        text = QStringLiteral("Le fichier des scores « %1 » n'est pas ouvert.").arg(file);
        break;
    default:
        text = QStringLiteral("Le fichier des scores « %1 » a refusé l'opération : %2").arg(file, detail);
        break;
    }
    return {kind, text};
}

DbError engineError(const QString& path, const QSqlError& error, bool writing)
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case Busy:
    case Locked:
        return fileError(Kind::Busy, path);
    case ReadOnly:
        return fileError(Kind::ReadOnly, path);
    case CantOpen:
        // While writing this is the journal beside the file that cannot be created.
        return writing ? fileError(Kind::ReadOnly, path)
                       : fileError(Kind::CannotRead, path, error.databaseText());
    case Corrupt:
    case NotADb:
        return fileError(Kind::NotADatabase, path);
    case Full:
        return fileError(Kind::Engine, path, QStringLiteral("le disque est plein. Rien n'a été enregistré."));
    default:
        return fileError(Kind::Engine, path,
                         error.databaseText().isEmpty() ? error.text() : error.databaseText());
    }
}

QString nextConnectionName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("palinor-scores-%1").arg(counter.fetch_add(1));
}

// mode=rw/ro keeps SQLite from creating a file that is missing by the time it opens it.
QString sqliteUri(const QString& path, bool readOnly)
{
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setQuery(readOnly ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw"));
    return url.toString(QUrl::FullyEncoded);
}

std::optional<qint64> wholeNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double: {
        const double number = value.toDouble();
        if (std::isfinite(number) && number == std::floor(number) && std::abs(number) < 1e15) {
            return static_cast<qint64>(number);
        }
        return std::nullopt;
    }
    case QMetaType::QString: {
        bool ok = false;
        const qint64 number = value.toString().toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<int> storedScore(const QVariant& score)
{
    if (score.isNull()) {
        return 0;
    }
    const auto number = wholeNumber(score);
    if (!number || *number < 0 || *number > kMaxStoredScore) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

// Gives `from` the name `to` unless `to` exists; QFile::rename may fall back to copying over it.
bool renameWithoutReplacing(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::create_hard_link(nativePath(from), nativePath(to), error);
    if (!error) {
        QFile::remove(from);
        return true;
    }
    if (error == std::errc::file_exists || QFileInfo::exists(to)) {
        return false;
    }
    // Folders without hard links (FAT): only a short race with another copy of the program remains.
    std::filesystem::rename(nativePath(from), nativePath(to), error);
    return !error;
}

} // namespace

// One named Qt SQL connection, closed and unregistered when destroyed.
class SqlConnection {
public:
    SqlConnection(const QString& path, bool readOnly, int busyTimeoutMs) : name_(nextConnectionName())
    {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setDatabaseName(sqliteUri(path, readOnly));
        QString options = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
        if (readOnly) {
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        }
        db_.setConnectOptions(options);
        if (db_.open()) {
            // Full syncs around the rollback journal: a crash leaves the old records or the new, never
            // neither.
            QSqlQuery(db_).exec(QStringLiteral("PRAGMA synchronous = FULL"));
        }
    }
    ~SqlConnection()
    {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    QSqlDatabase& db() { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
};

bool ScoreRecord::hasValidScore() const
{
    return storedScore(score).has_value();
}

QString ScoreRecord::nameText() const
{
    return name.isNull() ? QString() : name.toString();
}

int ScoreRecord::scoreValue() const
{
    return storedScore(score).value_or(0);
}

int ScanResult::unreadableCount() const
{
    return static_cast<int>(
        std::count_if(records.begin(), records.end(), [](const ScoreRecord& r) { return !r.readable(); }));
}

int nameLength(const QString& name)
{
    return static_cast<int>(name.toUcs4().size());
}

std::optional<DbError> checkPlayerName(const QString& name)
{
    if (name.isEmpty()) {
        return DbError{Kind::EmptyName, QStringLiteral("Le nom du joueur est vide.")};
    }
    // SQLite reads a leading U+FEFF or U+FFFE of a UTF-16 text as a byte order mark, and turns U+FFFE and
    // U+FFFF into U+FFFD: such a name would be stored as another one, and the player's scores lost.
    if (name.startsWith(QChar(0xFEFF)) || name.contains(QChar(0xFFFE)) || name.contains(QChar(0xFFFF))) {
        return DbError{
            Kind::UnstorableName,
            QStringLiteral("Ce nom commence par un caractère invisible (U+FEFF) ou contient un "
                           "caractère non valide (U+FFFE, U+FFFF) : il ne peut pas être enregistré "
                           "tel quel. Retapez-le sans ce caractère.")};
    }
    if (const int length = nameLength(name); length > kMaxNameLength) {
        return DbError{Kind::NameTooLong,
                       QStringLiteral("Ce nom compte %1 caractères : un nom de joueur ne peut pas en compter "
                                      "plus de %2.")
                           .arg(length)
                           .arg(kMaxNameLength)};
    }
    return std::nullopt;
}

ScoreDatabase::ScoreDatabase(QString filePath, ScoreDatabaseOptions options)
    : filePath_(std::move(filePath)), options_(std::move(options))
{
}

ScoreDatabase::~ScoreDatabase() = default;

void ScoreDatabase::close()
{
    connection_.reset();
    readOnly_ = false;
}

std::optional<DbError> ScoreDatabase::createIfMissing()
{
    const QFileInfo target(filePath_);
    if (target.exists() || target.isSymLink()) {
        return std::nullopt;
    }
    // Built under a name of its own, then renamed without replacing: billard.mdb is whole or absent.
    QFile temp;
    bool created = false;
    for (int attempt = 0; attempt < 8 && !created; ++attempt) {
        temp.setFileName(QStringLiteral("%1/%2.%3.tmp")
                             .arg(target.absolutePath(), target.fileName())
                             .arg(QRandomGenerator::global()->generate64(), 0, 36));
        created = temp.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (!created && !temp.exists()) {
            break;
        }
    }
    if (!created) {
        return fileError(Kind::CannotCreate, filePath_);
    }
    temp.close();
    const QString tempPath = temp.fileName();

    std::optional<DbError> failure;
    {
        SqlConnection connection(tempPath, false, options_.busyTimeoutMs);
        if (!connection.db().isOpen() ||
            !QSqlQuery(connection.db())
                 .exec(QStringLiteral("CREATE TABLE nom (\"Nom Complet\" TEXT, \"Score\" SMALLINT, "
                                      "\"Score1\" SMALLINT, \"Score2\" SMALLINT)"))) {
            failure = fileError(Kind::CannotCreate, filePath_);
        }
    }
    if (!failure && !renameWithoutReplacing(tempPath, filePath_) && !QFileInfo::exists(filePath_)) {
        failure = fileError(Kind::CannotCreate, filePath_);
    }
    // Left behind when the rename failed, also when another copy of the program created the file first.
    QFile::remove(tempPath);
    QFile::remove(tempPath + QStringLiteral("-journal"));
    return failure;
}

std::optional<DbError> ScoreDatabase::recognise() const
{
    const QFileInfo info(filePath_);
    if (info.isDir()) {
        return fileError(Kind::IsFolder, filePath_);
    }
    if (!info.exists()) {
        return fileError(Kind::Missing, filePath_);
    }
    QFile file(filePath_);
    if (!file.open(QIODevice::ReadOnly)) {
        return fileError(Kind::CannotRead, filePath_, file.errorString());
    }
    const QByteArray header = file.read(100);
    if (header.isEmpty() && file.size() == 0) {
        return fileError(Kind::EmptyFile, filePath_);
    }
    const QByteArray signature = header.mid(4, 15);
    if (signature == "Standard Jet DB") {
        return fileError(Kind::AccessDatabase, filePath_, QStringLiteral("moteur Jet"));
    }
    if (signature == "Standard ACE DB") {
        return fileError(Kind::AccessDatabase, filePath_,
                         QStringLiteral("moteur ACE, Access 2007 ou plus récent"));
    }
    // Every SQLite file starts with this and holds at least one page of 512 bytes or more.
    if (!header.startsWith(QByteArray("SQLite format 3\0", 16)) || file.size() < 512) {
        return fileError(Kind::NotADatabase, filePath_);
    }
    return std::nullopt;
}

std::optional<DbError> ScoreDatabase::checkSchema() const
{
    QSqlDatabase& db = connection_->db();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT type FROM sqlite_master WHERE name = 'nom' COLLATE NOCASE "
                                   "AND type = 'table'"))) {
        return engineError(filePath_, query.lastError(), false);
    }
    if (!query.next()) {
        return fileError(Kind::WrongSchema, filePath_, QStringLiteral("elle n'a pas de table « nom »"));
    }
    query.finish();
    if (!query.exec(QStringLiteral("PRAGMA table_info(nom)"))) {
        return engineError(filePath_, query.lastError(), false);
    }
    QStringList found;
    while (query.next()) {
        found << query.value(1).toString();
    }
    const auto expected = [&found](const QString& field) {
        return found.contains(field, Qt::CaseInsensitive);
    };
    // rowid is how the current record is deleted; a table declared WITHOUT ROWID has none.
    if (found.size() != kFields.size() || !std::all_of(kFields.begin(), kFields.end(), expected) ||
        !query.prepare(kScanQuery)) {
        return fileError(Kind::WrongSchema, filePath_,
                         QStringLiteral("sa table « nom » n'a pas exactement les champs « Nom Complet », "
                                        "« Score », « Score1 » et « Score2 »"));
    }
    return std::nullopt;
}

std::optional<DbError> ScoreDatabase::open()
{
    close();
    if (auto unknown = recognise()) {
        return unknown;
    }
    const bool readOnly =
        !(options_.isWritable ? options_.isWritable(filePath_) : QFileInfo(filePath_).isWritable());
    connection_ = std::make_unique<SqlConnection>(filePath_, readOnly, options_.busyTimeoutMs);
    std::optional<DbError> failure;
    if (!connection_->db().isOpen()) {
        failure = engineError(filePath_, connection_->db().lastError(), false);
    } else {
        failure = checkSchema();
    }
    if (failure) {
        close();
        return failure;
    }
    readOnly_ = readOnly;
    if (!readOnly_) {
        // A file switched to WAL elsewhere would leave -wal and -shm files beside it.
        QSqlQuery mode(connection_->db());
        if (mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next() &&
            mode.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) == 0) {
            mode.finish();
            mode.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
        }
    }
    return std::nullopt;
}

ScanResult ScoreDatabase::scan()
{
    if (!connection_) {
        return {{}, fileError(Kind::NotOpen, filePath_)};
    }
    QSqlQuery query(connection_->db());
    query.setForwardOnly(true);
    if (!query.prepare(kScanQuery) || !query.exec()) {
        return {{}, engineError(filePath_, query.lastError(), false)};
    }
    // Field names match whatever case the file was written with.
    const QSqlRecord fields = query.record();
    const int nameField = fields.indexOf(kFields[0]);
    const int scoreField = fields.indexOf(kFields[1]);
    if (nameField < 0 || scoreField < 0) {
        return {{}, fileError(Kind::WrongSchema, filePath_, QStringLiteral("sa table « nom » a changé"))};
    }
    ScanResult result;
    while (query.next()) {
        result.records.push_back(
            {query.value(0).toLongLong(), query.value(nameField), query.value(scoreField)});
    }
    if (query.lastError().isValid()) {
        return {{}, engineError(filePath_, query.lastError(), false)};
    }
    return result;
}

std::optional<DbError>
ScoreDatabase::inWriteTransaction(const std::function<std::optional<DbError>()>& statements)
{
    if (!connection_) {
        return fileError(Kind::NotOpen, filePath_);
    }
    QSqlDatabase& db = connection_->db();
    {
        // IMMEDIATE takes the write lock at once, waiting out another copy of the program.
        QSqlQuery begin(db);
        if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            return engineError(filePath_, begin.lastError(), true);
        }
    }
    std::optional<DbError> failure = statements();
    if (!failure) {
        QSqlQuery commit(db);
        if (!commit.exec(QStringLiteral("COMMIT"))) {
            failure = engineError(filePath_, commit.lastError(), true);
        }
    }
    if (failure) {
        // Fails harmlessly when SQLite has already rolled back by itself.
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    }
    return failure;
}

std::optional<DbError> ScoreDatabase::registerPlayer(const QString& name)
{
    if (auto refused = checkPlayerName(name)) {
        return refused;
    }
    return inWriteTransaction([&]() -> std::optional<DbError> {
        QSqlQuery insert(connection_->db());
        insert.prepare(QStringLiteral("INSERT INTO nom (\"Nom Complet\") VALUES (?)"));
        insert.addBindValue(name);
        if (!insert.exec()) {
            return engineError(filePath_, insert.lastError(), true);
        }
        return std::nullopt;
    });
}

std::optional<DbError> ScoreDatabase::replaceScore(const std::vector<qint64>& removedRowIds,
                                                   const QString& name, int score)
{
    if (auto refused = checkPlayerName(name)) {
        return refused;
    }
    if (score < 0 || score > kMaxStoredScore) {
        return DbError{Kind::BadScore,
                       QStringLiteral("Le score %1 ne peut pas être enregistré : un score va de 0 à %2.")
                           .arg(score)
                           .arg(kMaxStoredScore)};
    }
    return inWriteTransaction([&]() -> std::optional<DbError> {
        QSqlQuery remove(connection_->db());
        // The name test keeps a record that another copy of the program put in a reused rowid.
        remove.prepare(QStringLiteral("DELETE FROM nom WHERE rowid = ? AND \"Nom Complet\" = ?"));
        for (const qint64 rowId : removedRowIds) {
            remove.bindValue(0, rowId);
            remove.bindValue(1, name);
            if (!remove.exec()) {
                return engineError(filePath_, remove.lastError(), true);
            }
        }
        QSqlQuery insert(connection_->db());
        insert.prepare(QStringLiteral("INSERT INTO nom (\"Nom Complet\", score) VALUES (?, ?)"));
        insert.addBindValue(name);
        insert.addBindValue(score);
        if (!insert.exec()) {
            return engineError(filePath_, insert.lastError(), true);
        }
        return std::nullopt;
    });
}

bool canCreateFilesIn(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".palinor-probe-XXXXXX")));
    return probe.open();
}

QString chooseDatabaseFolder(const QString& programFolder, const QString& userDataFolder,
                             const std::function<bool(const QString&)>& canWrite)
{
    // SQLite writes its journal beside the file, so a writable file alone in a locked folder is no use.
    if (userDataFolder.isEmpty() || canWrite(programFolder)) {
        return programFolder;
    }
    return userDataFolder;
}

QString databasePath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString folder = chooseDatabaseFolder(programFolder, userFolder);
    if (folder != programFolder) {
        QDir().mkpath(folder);
    }
    return QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
}

} // namespace palinor
