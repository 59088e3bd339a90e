#pragma once
// A score file in a temporary folder for the window tests, made and read behind the program's back.

#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"

#include <QTemporaryDir>
#include <QTest>

namespace palinor::testing {

struct ScoreFile {
    QTemporaryDir dir;
    const QString path = dir.filePath("billard.mdb");

    ScoreFile() = default; // no file yet
    // The program's own table holding these records, written as SQL values: "('ALPHA', 87), (NULL, 12)".
    explicit ScoreFile(const QString& records)
    {
        QVERIFY(!ScoreDatabase(path).createIfMissing());
        if (!records.isEmpty()) {
            QCOMPARE(test::sql(path, R"(INSERT INTO nom ("Nom Complet", Score) VALUES )" + records),
                     QStringList());
        }
    }
    // One of the older program's Access 2000 files, from the data tests' folder, under the file's name.
    static void oldAccessFile(const ScoreFile& file, const char* fixture)
    {
        QVERIFY(QFile::copy(QStringLiteral(PALINOR_ACCESS_FIXTURES "/") + fixture, file.path));
        QFile::setPermissions(file.path, QFile::ReadOwner | QFile::WriteOwner);
    }
    // Every record as "NAME|SCORE", Null as "<null>", in file order.
    QStringList records() const { return test::sql(path, R"(SELECT "Nom Complet", Score FROM nom)"); }
};

} // namespace palinor::testing
