// Loading the score table and the sign-up list from billard.mdb files of 100 to 100,000 records.

#include "QtBenchmarkMain.h"
#include "data/ScoreDatabase.h"
#include "ui/messages/MessageBoxes.h"
#include "ui/scores/ScoreTable.h"
#include "ui/scores/scorefrm.h"
#include "ui/signup/inscription.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

namespace palinor {
namespace {

constexpr auto kExistingPlayer = "JOUEUR DU MILIEU";

// Random upper-case names, accents included, and scores of finished games; built once per size.
QString scoreFile(int records)
{
    static QTemporaryDir folder;
    static std::map<int, QString> built;
    if (auto found = built.find(records); found != built.end()) {
        return found->second;
    }
    const QString path = folder.filePath(QStringLiteral("%1/billard.mdb").arg(records));
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (ScoreDatabase(path).createIfMissing()) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
        std::exit(1);
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO nom (\"Nom Complet\", Score) VALUES (?, ?)"));
        std::mt19937 random(records);
        const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ ÉÈÀÇ");
        std::uniform_int_distribution<int> letter(0, int(letters.size()) - 1);
        std::uniform_int_distribution<int> length(4, 16);
        std::uniform_int_distribution<int> score(0, 148);
        for (int i = 0; i < records; ++i) {
            QString name;
            if (i == records / 2) {
                name = QString::fromLatin1(kExistingPlayer);
            } else {
                for (int n = length(random); n > 0; --n) {
                    name += letters[letter(random)];
                }
                name = name.trimmed() + QString::number(i); // distinct, as the sign-up keeps them
            }
            insert.addBindValue(name);
            insert.addBindValue(score(random));
            insert.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    built[records] = path;
    return path;
}

// Keeps what a load would have shown: a load that tells the user something measured a failure instead.
struct SilentBoxes : MessageBoxes {
    QString told;
    void tell(const QString& text, Icon, const QString&) override { told = text; }
    bool askRetry(const QString& text) override
    {
        told = text;
        return false;
    }
    bool askImport(const QString& text) override
    {
        told = text;
        return false;
    }
};

void stopOnMessage(benchmark::State& run, const SilentBoxes& boxes)
{
    if (!boxes.told.isEmpty()) {
        run.SkipWithError(qPrintable(boxes.told));
    }
}

// Reads and ranks every record; nothing to store (no game in progress).
void BM_ScoreTableLoad(benchmark::State& run)
{
    ScoreDatabase db(scoreFile(int(run.range(0))));
    db.open();
    GameState idle;
    for (auto _ : run) {
        ScoreTableContents contents = loadScoreTable(db, idle);
        benchmark::DoNotOptimize(contents.ranking.data());
    }
}

// The window's whole load: open the file, read, rank, fill the list.
void BM_ScoreTableWindowLoad(benchmark::State& run)
{
    const QString path = scoreFile(int(run.range(0)));
    GameState idle;
    SilentBoxes boxes;
    scorefrm table(boxes);
    for (auto _ : run) {
        table.load(idle, path);
    }
    stopOnMessage(run, boxes);
}

// The end of a game: the window's load also replaces the player's record, one transaction synced to disk.
void BM_ScoreTableWindowLoadWithStore(benchmark::State& run)
{
    const QString path = scoreFile(int(run.range(0)));
    GameState ended;
    ended.PlayerName = kExistingPlayer;
    ended.CurrentRound = 3;
    ended.CurrentScore = 148;
    SilentBoxes boxes;
    scorefrm table(boxes);
    for (auto _ : run) {
        ended.ForceScoreUpdate = true;
        table.load(ended, path);
    }
    stopOnMessage(run, boxes);
}

// The sign-up window's load: create-if-missing, open, read, sort the names, fill the list.
void BM_SignUpLoad(benchmark::State& run)
{
    const QString path = scoreFile(int(run.range(0)));
    GameState state;
    SilentBoxes boxes;
    inscription signUp(state, boxes);
    for (auto _ : run) {
        signUp.load(path);
    }
    stopOnMessage(run, boxes);
}

// Opening alone, integrity check included: what every window pays before it can list a record.
void BM_OpenWithCheck(benchmark::State& run)
{
    ScoreDatabase db(scoreFile(int(run.range(0))));
    for (auto _ : run) {
        if (const auto error = db.open()) {
            run.SkipWithError(qPrintable(error->message));
            break;
        }
        db.close();
    }
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ScoreTableLoad)->Apply(sizes);
BENCHMARK(BM_ScoreTableWindowLoad)->Apply(sizes);
BENCHMARK(BM_ScoreTableWindowLoadWithStore)->Apply(sizes);
BENCHMARK(BM_SignUpLoad)->Apply(sizes);
BENCHMARK(BM_OpenWithCheck)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace palinor

int main(int argc, char** argv)
{
    return palinor::bench::runQtBenchmarks(argc, argv, [](QApplication&) {});
}
