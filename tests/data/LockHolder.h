#pragma once
// Another process on a score file: it runs statements, then holds what they took (a lock, an open
// transaction) until told to let go or to die as a killed writer would.

#include <QCoreApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

namespace palinor::test {

inline constexpr auto kHoldFlag = "--hold";

// In the test's main, before anything else: `--hold PATH STATEMENT...` makes this process the holder.
inline int holdIfAsked(int argc, char** argv)
{
    if (argc < 3 || std::string(argv[1]) != kHoldFlag) {
        return -1;
    }
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(args[2]);
        if (!db.open()) {
            return 3;
        }
        QSqlQuery query(db);
        for (const QString& statement : args.mid(3)) {
            if (!query.exec(statement)) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(statement), qPrintable(query.lastError().text()));
                return 4;
            }
        }
        std::puts("held");
        std::fflush(stdout);
        std::string line;
        std::getline(std::cin, line);
        if (line == "die") {
            std::raise(SIGKILL); // no rollback, no unlock: what a killed writer leaves
        }
        query.finish();
    }
    return 0;
}

class Holder {
public:
    Holder(const QString& path, const QStringList& statements)
    {
        process_.start(QCoreApplication::applicationFilePath(), QStringList{kHoldFlag, path} + statements);
        held_ = process_.waitForReadyRead(20000) && process_.readAllStandardOutput().startsWith("held");
        if (!held_) {
            std::fprintf(stderr, "holder: %s\n", process_.readAllStandardError().constData());
        }
    }
    ~Holder() { release(); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    bool held() const { return held_; }
    void release() { end("release\n"); }
    void die() { end("die\n"); }

private:
    void end(const char* word)
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.write(word);
            process_.closeWriteChannel();
            process_.waitForFinished(20000);
        }
    }
    QProcess process_;
    bool held_ = false;
};

} // namespace palinor::test

// The main of a Qt Test program whose tests start holders of their own.
#define PALINOR_TEST_MAIN_WITH_HOLDER(TestObject)                                                            \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        if (const int held = palinor::test::holdIfAsked(argc, argv); held >= 0) {                            \
            return held;                                                                                     \
        }                                                                                                    \
        QApplication app(argc, argv);                                                                        \
        TestObject test;                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
