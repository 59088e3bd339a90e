#pragma once
// Score files made and read behind the program's back, for the data and the reliability tests.

#include <QCryptographicHash>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <functional>
#include <ostream>

// Readable QStrings in gtest failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace palinor::test {

// Runs one statement on the file through a connection of the test's own, then `meanwhile` while it is still
// open. Every row comes back with its columns joined by '|' and Null written "<null>"; a refusal as "error:
// ...".
inline QStringList sql(const QString& path, const QString& statement,
                       const std::function<void()>& meanwhile = {})
{
    static std::atomic<int> made{0};
    const QString name = "raw-" + QString::number(++made);
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        if (!query.exec(statement)) {
            rows << "error: " + query.lastError().text();
        }
        while (query.next()) {
            QStringList columns;
            for (int i = 0; i < query.record().count(); ++i) {
                columns << (query.isNull(i) ? "<null>" : query.value(i).toString());
            }
            rows << columns.join(u'|');
        }
        if (meanwhile) {
            meanwhile();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray checksum(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : "unreadable";
}

inline QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace palinor::test
