#pragma once
// Score files made and read behind the program's back, and copies of the test process that write them.

#include "data/DbError.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <filesystem>
#include <iostream>
#ifndef _WIN32
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// Readable QStrings in gtest failure messages, alone and in lists.
inline std::ostream& operator<<(std::ostream& out, const QString& text)
{
    return out << '"' << text.toStdString() << '"';
}

namespace palinor::test {

// Statements, split at ";\n", on one connection of the test's own, then `meanwhile` while it is open unless
// one failed: their rows as "a|b|<null>", a failure as "error: ...".
inline QStringList sql(const QString& path, const QString& statements,
                       const std::function<void()>& meanwhile = {})
{
    static int made = 0;
    const QString name = "raw-" + QString::number(++made);
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        const QStringList all = statements.split(";\n");
        bool ok = true;
        for (auto statement = all.begin(); ok && statement != all.end(); ++statement) {
            if (!(ok = query.exec(*statement))) {
                rows << "error: " + query.lastError().text();
            }
            while (query.next()) {
                QStringList columns;
                for (int i = 0; i < query.record().count(); ++i) {
                    columns << (query.isNull(i) ? "<null>" : query.value(i).toString());
                }
                rows << columns.join(u'|');
            }
        }
        (ok && meanwhile) ? meanwhile() : void();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

// Every record as "name|score", sorted; what the user is told, empty when all went well; the folder's names.
inline const auto stored = [](const QString& path) {
    return sql(path, R"(SELECT "Nom Complet", Score FROM nom ORDER BY 1, 2)");
};
inline const auto told = [](const std::optional<DbError>& e) { return e ? e->message : QString(); };
inline const auto kindOf = [](const auto& e) { return e ? std::optional(e->kind) : std::nullopt; };
inline const auto entries = [](const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
};

inline const auto writeFile = [](const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
};
inline const auto contents = [](const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
};

// A symbolic link, which Windows lets only some users make: false when refused.
inline const auto makeLink = [](const QString& target, const QString& name) {
    std::error_code error;
    std::filesystem::create_symlink(target.toStdU16String(), name.toStdU16String(), error);
    return !error;
};
inline bool linksMade()
{
    static const bool made = [] {
        const QTemporaryDir folder;
        return makeLink(folder.filePath("target"), folder.filePath("link"));
    }();
    return made;
}
// A case this system cannot make, told in the output as gtest tells a skipped test.
inline void skipCase(const QString& what, const char* why)
{
    std::cout << "[  SKIPPED ] " << what.toStdString() << ": " << why << std::endl;
}

// Windows has no fork, no signals and no other users: the tests that need them skip there, saying so.
#ifndef _WIN32
// Runs `work` as the user nobody: root writes through any permission bit. False when root cannot be left.
inline const auto asNobody = [](const std::function<void()>& work) {
    const bool root = ::geteuid() == 0;
    if (root && (::setresgid(65534, 65534, 0) != 0 || ::setresuid(65534, 65534, 0) != 0)) {
        return false;
    }
    work();
    if (root && (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0)) {
        qFatal("cannot become root again");
    }
    return true;
};

// One write(2) a line: a line in the pipe is whole or absent, whenever the writer dies.
inline const auto say = [](int out, const QByteArray& line) {
    if (::write(out, line.constData(), line.size()) != line.size()) {
        ::_exit(3);
    }
};

// A copy of this process running `work`, which says lines on the pipe it is given; killed when destroyed.
class Child {
    pid_t pid_ = -1;
    int in_ = -1, status_ = 0;

public:
    explicit Child(const std::function<int(int out)>& work)
    {
        int ends[2];
        if (::pipe(ends) != 0 || (pid_ = ::fork()) < 0) {
            qFatal("cannot fork");
        }
        if (pid_ == 0) {
            ::_exit(work(ends[1])); // no exit handlers: they belong to the parent
        }
        ::close(ends[1]);
        in_ = ends[0];
    }
    ~Child() { end(SIGKILL), ::close(in_); }

    // The next line, or nothing when none comes within timeoutMs or the copy has ended.
    std::optional<QByteArray> line(int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        QByteArray line;
        for (char c = 0; c != '\n'; line += c) {
            pollfd ready{in_, POLLIN, 0};
            if (::poll(&ready, 1, int(deadline.remainingTime())) <= 0 || ::read(in_, &c, 1) != 1) {
                return std::nullopt;
            }
        }
        return line.chopped(1);
    }
    // Sends the copy that signal unless 0, then waits for its end; its wait status.
    int end(int signal = 0)
    {
        if (pid_ > 0 && (signal == 0 || ::kill(pid_, signal) == 0) && ::waitpid(pid_, &status_, 0) == pid_) {
            pid_ = -1;
        }
        return status_;
    }
};

// Another program on a score file: it runs the statements on one connection, then holds what they took (a
// lock, an open transaction) until released (rolled back) or killed as a writer can be.
struct Holder : Child {
    Holder(const QString& path, const QStringList& statements)
        : Child([&](int out) {
              sigset_t wake{};
              sigaddset(&wake, SIGUSR1);
              sigprocmask(SIG_BLOCK, &wake, nullptr); // before "held": a release cannot come too early
              int got = 0;
              sql(path, statements.join(";\n"), [&] { say(out, "held\n"), sigwait(&wake, &got); });
              return 0; // the connection, closed, rolls back and lets go: no journal left
          })
    {
    }
    ~Holder() { release(); }
    bool held() { return line(20000) == "held"; } // waits for the hold: once
    void release() { end(SIGUSR1); }
};

#endif

} // namespace palinor::test
