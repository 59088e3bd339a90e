#pragma once
// Builders for score files made behind the program's back, and checks on what it left on disk.

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <gtest/gtest.h>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace palinor::test {

// A plain SQLite connection of the test's own, closed and unregistered at the end of its scope.
class RawDb {
public:
    explicit RawDb(const QString& path) : name_(QStringLiteral("raw-%1").arg(++created_))
    {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setDatabaseName(path);
        EXPECT_TRUE(db_.open()) << db_.lastError().text().toStdString();
    }
    ~RawDb()
    {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    void run(const QString& sql)
    {
        QSqlQuery query(db_);
        ASSERT_TRUE(query.exec(sql)) << sql.toStdString() << ": " << query.lastError().text().toStdString();
    }
    // Every row of a query, its columns joined with '|', Null written as "<null>".
    QStringList rows(const QString& sql)
    {
        QSqlQuery query(db_);
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        QStringList result;
        while (query.next()) {
            QStringList columns;
            for (int i = 0; i < query.record().count(); ++i) {
                columns << (query.isNull(i) ? QStringLiteral("<null>") : query.value(i).toString());
            }
            result << columns.join(u'|');
        }
        return result;
    }

private:
    static inline std::atomic<int> created_{0};
    QString name_;
    QSqlDatabase db_;
};

inline const QString kGoodTable = QStringLiteral(
    "CREATE TABLE nom (\"Nom Complet\" TEXT, Score SMALLINT, Score1 SMALLINT, Score2 SMALLINT)");

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

inline QByteArray checksum(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "unreadable";
    }
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

inline QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace palinor::test
