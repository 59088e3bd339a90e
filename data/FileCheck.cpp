#include "data/FileCheck.h"

#include "data/AccessFormat.h"
#include "data/FileSystem.h"
#include "data/SqlConnection.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <set>

namespace palinor {

namespace {

using Kind = DbError::Kind;

const QStringList kFields = {QStringLiteral("Nom Complet"), QStringLiteral("Score"), QStringLiteral("Score1"),
                             QStringLiteral("Score2")};

constexpr int kHeaderSize = 100;

QString typeName(FileProbe::Type type)
{
    switch (type) {
    case FileProbe::Type::Fifo:
        return QStringLiteral("un tube nommé (FIFO)");
    case FileProbe::Type::Device:
        return QStringLiteral("un périphérique");
    case FileProbe::Type::Socket:
        return QStringLiteral("une prise de communication (socket)");
    case FileProbe::Type::Missing:
    case FileProbe::Type::Regular:
    case FileProbe::Type::Folder:
    case FileProbe::Type::Link:
    case FileProbe::Type::Other:
    case FileProbe::Type::Unreadable:
        break;
    }
    return QStringLiteral("un objet spécial du système");
}

QString quoted(const QString& name)
{
    return QStringLiteral("\"%1\"").arg(QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")));
}

// Names the damage that the quick check found: how many faults and on which pages.
QString damageFound(const QStringList& report)
{
    std::set<int> pages;
    static const QRegularExpression page(QStringLiteral("[Pp]age (\\d+)"));
    for (const QString& line : report) {
        for (auto match = page.globalMatch(line); match.hasNext();) {
            pages.insert(match.next().captured(1).toInt());
        }
    }
    QString text = report.size() == 1
                       ? QStringLiteral("la vérification d'intégrité y trouve un défaut")
                       : QStringLiteral("la vérification d'intégrité y trouve %1 défauts").arg(report.size());
    if (!pages.empty()) {
        QStringList numbers;
        for (auto it = pages.begin(); it != pages.end() && numbers.size() < 8; ++it) {
            numbers << QString::number(*it);
        }
        text += (pages.size() == 1 ? QStringLiteral(", à la page ") : QStringLiteral(", aux pages ")) +
                numbers.join(QStringLiteral(", ")) + (pages.size() > 8 ? QStringLiteral("…") : QString());
    }
    return text;
}

struct SchemaVerdict {
    std::optional<DbError> refusal;
    QStringList foreign; // what lies beside the table, in French
};

SchemaVerdict checkSchema(SqlConnection& connection, const QString& path)
{
    QList<QStringList> objects;
    if (auto failure = connection.rows(QStringLiteral("SELECT type, name, tbl_name, sql IS NULL, "
                                                      "coalesce(sql, '') FROM sqlite_master"),
                                       &objects)) {
        return {failure, {}};
    }
    const auto wrong = [&path](const QString& what) -> SchemaVerdict {
        return {dbError(Kind::WrongSchema, path, what), {}};
    };
    SchemaVerdict verdict;
    bool table = false;
    for (const QStringList& part : objects) {
        const QString &type = part[0], &name = part[1];
        const bool isNom = name.compare(QStringLiteral("nom"), Qt::CaseInsensitive) == 0;
        if (isNom && type == QStringLiteral("view")) {
            return wrong(QStringLiteral("son « nom » est une vue et non une table"));
        }
        if (isNom && part[4].startsWith(QStringLiteral("CREATE VIRTUAL"), Qt::CaseInsensitive)) {
            return wrong(QStringLiteral("sa table « nom » est une table virtuelle"));
        }
        if (isNom && type == QStringLiteral("table")) {
            table = true;
        } else if (type == QStringLiteral("trigger")) {
            verdict.foreign << QStringLiteral("un déclencheur « %1 »").arg(name);
        } else if (type == QStringLiteral("view")) {
            verdict.foreign << QStringLiteral("une vue « %1 »").arg(name);
        } else if (type == QStringLiteral("table") && !name.startsWith(QStringLiteral("sqlite_"))) {
            verdict.foreign << QStringLiteral("une autre table « %1 »").arg(name);
        } else if (type == QStringLiteral("index") && part[3] == QStringLiteral("0")) {
            // A plain index on the table's fields only speeds reading; one that computes may run anything.
            QList<QStringList> columns;
            if (auto failure =
                    connection.rows(QStringLiteral("PRAGMA index_xinfo(%1)").arg(quoted(name)), &columns)) {
                return {failure, {}};
            }
            // index_xinfo: seqno|cid|name|desc|coll|key; cid -2 is an expression.
            const bool computed = std::any_of(columns.begin(), columns.end(), [](const QStringList& c) {
                return c.value(1) == QStringLiteral("-2");
            });
            if (computed || part[4].contains(QStringLiteral("WHERE"), Qt::CaseInsensitive)) {
                verdict.foreign << QStringLiteral("un index calculé « %1 »").arg(name);
            }
        }
    }
    if (!table) {
        return wrong(QStringLiteral("elle n'a pas de table « nom »"));
    }

    // table_xinfo: cid|name|type|notnull|dflt_value|pk|hidden
    QList<QStringList> columns;
    if (auto failure = connection.rows(QStringLiteral("PRAGMA table_xinfo(nom)"), &columns)) {
        return {failure, {}};
    }
    QStringList names;
    bool computed = false;
    for (const QStringList& column : columns) {
        names << column.value(1);
        computed = computed || column.value(6) != QStringLiteral("0");
    }
    const auto expected = [&names](const QString& field) {
        return names.contains(field, Qt::CaseInsensitive);
    };
    if (computed || names.size() != kFields.size() ||
        !std::all_of(kFields.begin(), kFields.end(), expected)) {
        return wrong(QStringLiteral("sa table « nom » n'a pas exactement les champs « Nom Complet », "
                                    "« Score », « Score1 » et « Score2 »"));
    }

    // schema|name|type|ncol|wr|strict
    QList<QStringList> list;
    if (auto failure = connection.rows(QStringLiteral("PRAGMA table_list(nom)"), &list)) {
        return {failure, {}};
    }
    for (const QStringList& entry : list) {
        if (entry.value(0) != QStringLiteral("main")) {
            continue;
        }
        // rowid is how the current record is deleted; a table declared WITHOUT ROWID has none.
        if (entry.value(4) != QStringLiteral("0")) {
            return wrong(
                QStringLiteral("sa table « nom » est déclarée sans numéro de ligne (WITHOUT ROWID)"));
        }
        if (entry.value(5) != QStringLiteral("0")) {
            verdict.foreign << QStringLiteral("le mode strict (STRICT) sur sa table « nom »");
        }
    }
    return verdict;
}

// A file whose very list of tables cannot be read shows nothing: it is not taken for a score file.
DbError unreadableSchema(const DbError& error, const QString& path)
{
    return error.kind == Kind::Damaged ? dbError(Kind::NotADatabase, path) : error;
}

} // namespace

bool isSqliteHeader(const QByteArray& header)
{
    return header.startsWith(QByteArray("SQLite format 3\0", 16));
}

std::optional<DbError> recogniseFile(const QString& path, FileFacts* facts)
{
    const FileProbe probe = probeFile(path, kHeaderSize);
    switch (probe.type) {
    case FileProbe::Type::Missing:
        return dbError(Kind::Missing, path);
    case FileProbe::Type::Folder:
        return dbError(Kind::IsFolder, path);
    case FileProbe::Type::Unreadable:
        return dbError(Kind::CannotRead, path, systemCause(probe.error));
    case FileProbe::Type::Fifo:
    case FileProbe::Type::Device:
    case FileProbe::Type::Socket:
    case FileProbe::Type::Link:
    case FileProbe::Type::Other:
        return dbError(Kind::NotRegularFile, path, typeName(probe.type));
    case FileProbe::Type::Regular:
        break;
    }
    if (probe.size == 0) {
        return dbError(Kind::EmptyFile, path);
    }
    switch (accessFormat(probe.header, probe.size)) {
    case AccessFormat::NotAccess:
        break;
    case AccessFormat::Jet3:
        return dbError(Kind::AccessDatabase, path, QStringLiteral("Access 97, moteur Jet 3"));
    case AccessFormat::Jet4:
    case AccessFormat::Truncated:
        return dbError(Kind::AccessDatabase, path, QStringLiteral("Access 2000, moteur Jet 4"));
    case AccessFormat::Ace:
        return dbError(Kind::AccessDatabase, path, QStringLiteral("moteur ACE, Access 2007 ou plus récent"));
    }
    // Every SQLite file starts with this and holds at least one page of 512 bytes or more.
    if (!isSqliteHeader(probe.header) || probe.size < 512 || probe.header.size() < kHeaderSize) {
        return dbError(Kind::NotADatabase, path);
    }
    // SQLite opens these beside the file by itself, where a link would lead it to another file: they must
    // neither block it nor be links. SQLite looks for them beside the file a linked name leads to.
    const QFileInfo named(path);
    QStringList bases{path};
    if (named.isSymLink() && !named.canonicalFilePath().isEmpty()) {
        bases << named.canonicalFilePath();
    }
    for (const QString& base : bases) {
        for (const char* suffix : {"-journal", "-wal", "-shm"}) {
            const QString side = base + QLatin1String(suffix);
            const FileProbe found = probeFile(side, 0, Links::Refuse);
            if (found.type == FileProbe::Type::Link) {
                return dbError(Kind::LinkBeside, path, side);
            }
            if (found.type == FileProbe::Type::Unreadable) {
                return dbError(Kind::CannotRead, side, systemCause(found.error));
            }
            if (found.type != FileProbe::Type::Missing && found.type != FileProbe::Type::Regular) {
                return dbError(Kind::NotRegularFile, side, typeName(found.type));
            }
            if (base == path && QLatin1String(suffix) == QLatin1String("-wal")) {
                facts->writeAheadLog = found.type == FileProbe::Type::Regular && found.size > 0;
            }
        }
    }
    facts->walMode = probe.header[18] == 2 || probe.header[19] == 2;
    return std::nullopt;
}

ContentVerdict checkContents(SqlConnection& connection, const QString& path)
{
    SchemaVerdict schema = checkSchema(connection, path);
    if (schema.refusal) {
        return {unreadableSchema(*schema.refusal, path), {}};
    }
    QList<QStringList> lines;
    if (auto failure = connection.rows(QStringLiteral("PRAGMA quick_check"), &lines)) {
        if (failure->kind != Kind::Damaged) {
            return {failure, {}};
        }
        lines = {{QStringLiteral("?")}};
    }
    QStringList report;
    for (const QStringList& line : lines) {
        report << line.value(0);
    }
    if (report != QStringList{QStringLiteral("ok")}) {
        return {{}, dbError(Kind::Damaged, path, damageFound(report))};
    }
    if (!schema.foreign.isEmpty()) {
        return {{}, dbError(Kind::Foreign, path, schema.foreign.join(QStringLiteral(", ")))};
    }
    return {};
}

} // namespace palinor
