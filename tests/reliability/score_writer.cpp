// Stores scores through the real score file layer, for the tests that kill it or run two copies at once.
//
//   score_writer loop FILE PLAYER...   stores ever higher scores (modulo 256) for the players in turn until
//                                      killed; prints "ready", then "PLAYER SCORE" once each store is
//                                      committed
//   score_writer sequence FILE TAG N   for i = 1..N registers TAG-i as the sign-up window does, then stores
//   the
//                                      score i for it as the score table does; exits 0 when every step
//                                      succeeded

#include "data/ScoreDatabase.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace palinor;

namespace {

// One write(2) per line: a line in the pipe is whole or absent whatever moment the process dies at.
void say(const std::string& line)
{
    const std::string text = line + '\n';
    if (::write(STDOUT_FILENO, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        std::_Exit(3);
    }
}

[[noreturn]] void fail(const QString& step, const DbError& error)
{
    std::fprintf(stderr, "score_writer: %s: %s\n", qPrintable(step), qPrintable(error.message));
    std::exit(2);
}

std::vector<qint64> recordsOf(const ScanResult& scan, const QString& name, int* score = nullptr)
{
    std::vector<qint64> ids;
    for (const ScoreRecord& record : scan.records) {
        if (record.nameText() == name) {
            ids.push_back(record.rowId);
            if (score != nullptr) {
                *score = record.scoreValue();
            }
        }
    }
    return ids;
}

int loop(const QString& path, const QStringList& players)
{
    ScoreDatabase db(path);
    if (auto error = db.open()) {
        fail(QStringLiteral("open"), *error);
    }
    say("ready");
    for (qsizetype turn = 0;; turn = (turn + 1) % players.size()) {
        const QString& player = players[turn];
        ScanResult scan = db.scan();
        if (scan.error) {
            fail(QStringLiteral("scan"), *scan.error);
        }
        int stored = 0;
        const std::vector<qint64> ids = recordsOf(scan, player, &stored);
        const int next = (stored + 1) % (kMaxStoredScore + 1);
        if (auto error = db.replaceScore(ids, player, next)) {
            fail(QStringLiteral("replaceScore"), *error);
        }
        say(player.toStdString() + ' ' + std::to_string(next));
    }
}

int sequence(const QString& path, const QString& tag, int count)
{
    for (int i = 1; i <= count; ++i) {
        const QString name = QStringLiteral("%1-%2").arg(tag).arg(i);
        {
            // The sign-up window's load and confirmation, on a connection of its own.
            ScoreDatabase signUp(path);
            if (auto error = signUp.createIfMissing()) {
                fail(QStringLiteral("createIfMissing"), *error);
            }
            if (auto error = signUp.open()) {
                fail(QStringLiteral("open for sign-up"), *error);
            }
            ScanResult scan = signUp.scan();
            if (scan.error) {
                fail(QStringLiteral("scan for sign-up"), *scan.error);
            }
            if (recordsOf(scan, name).empty()) {
                if (auto error = signUp.registerPlayer(name)) {
                    fail(QStringLiteral("registerPlayer ") + name, *error);
                }
            }
        }
        {
            // The score table's load at the end of that player's game.
            ScoreDatabase table(path);
            if (auto error = table.open()) {
                fail(QStringLiteral("open for scores"), *error);
            }
            ScanResult scan = table.scan();
            if (scan.error) {
                fail(QStringLiteral("scan for scores"), *scan.error);
            }
            if (auto error = table.replaceScore(recordsOf(scan, name), name, i % (kMaxStoredScore + 1))) {
                fail(QStringLiteral("replaceScore ") + name, *error);
            }
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("loop")) {
        return loop(args[2], args.mid(3));
    }
    bool counted = false;
    if (args.size() == 5 && args[1] == QLatin1String("sequence")) {
        const int count = args[4].toInt(&counted);
        if (counted && count > 0) {
            return sequence(args[2], args[3], count);
        }
    }
    std::fputs("usage: score_writer loop FILE PLAYER... | score_writer sequence FILE TAG N\n", stderr);
    return 64;
}
