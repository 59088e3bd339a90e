#pragma once
// Score files for the window tests: made in a temporary folder, filled behind the program's back.

#include "data/ScoreDatabase.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>
#include <utility>
#include <vector>

namespace palinor::testing {

class ScoreFile {
public:
    ScoreFile() : path_(dir_.filePath(QStringLiteral("billard.mdb"))) {}

    const QString& path() const { return path_; }

    // Creates the file with the program's own table and these (name, score) records; Null as QVariant().
    void create(const std::vector<std::pair<QVariant, QVariant>>& records = {})
    {
        ScoreDatabase db(path_);
        QVERIFY(!db.createIfMissing());
        db.close();
        for (const auto& [name, score] : records) {
            insert(name, score);
        }
    }

    void insert(const QVariant& name, const QVariant& score)
    {
        sql([&](QSqlDatabase& db) {
            QSqlQuery query(db);
            query.prepare(QStringLiteral("INSERT INTO nom (\"Nom Complet\", Score) VALUES (?, ?)"));
            query.addBindValue(name);
            query.addBindValue(score);
            QVERIFY(query.exec());
        });
    }

    void exec(const QString& statement)
    {
        sql([&](QSqlDatabase& db) { QVERIFY(QSqlQuery(db).exec(statement)); });
    }

    // Every record as "NAME=SCORE", Null written as "-", in file order.
    QStringList records()
    {
        QStringList rows;
        sql([&](QSqlDatabase& db) {
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("SELECT \"Nom Complet\", Score FROM nom")));
            while (query.next()) {
                rows << (query.isNull(0) ? QStringLiteral("-") : query.value(0).toString()) +
                            QLatin1Char('=') +
                            (query.isNull(1) ? QStringLiteral("-") : query.value(1).toString());
            }
        });
        return rows;
    }

    void write(const QByteArray& bytes)
    {
        QFile file(path_);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray checksum() const
    {
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }

private:
    template <typename Body> void sql(Body body)
    {
        const QString connection = QStringLiteral("test-%1").arg(++connections_);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(path_);
            QVERIFY(db.open());
            body(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }

    inline static int connections_ = 0;
    QTemporaryDir dir_;
    QString path_;
};

} // namespace palinor::testing
