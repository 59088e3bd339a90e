// The score file under a killed writer and under two copies of the program writing at once.

#include "data/ScoreDatabase.h"
#include "tests/reliability/ChildProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace palinor {
namespace {

using namespace std::chrono_literals;

const std::string kWriter = SCORE_WRITER_PATH;

// What a separate connection finds in the file, after rolling back whatever a dead writer left half done.
struct FileContents {
    QStringList integrity;
    std::map<QString, std::vector<QVariant>> scores; // by name, in file order
    int rows = 0;
};

FileContents inspect(const QString& path)
{
    static int opened = 0;
    const QString connection = QStringLiteral("inspect-%1").arg(++opened);
    FileContents contents;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(QStringLiteral("PRAGMA integrity_check")))
            << query.lastError().text().toStdString();
        while (query.next()) {
            contents.integrity << query.value(0).toString();
        }
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT \"Nom Complet\", Score FROM nom")))
            << query.lastError().text().toStdString();
        while (query.next()) {
            contents.scores[query.value(0).toString()].push_back(query.value(1));
            ++contents.rows;
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return contents;
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

unsigned seedFromEnvironment()
{
    if (const char* given = std::getenv("PALINOR_RELIABILITY_SEED")) {
        return static_cast<unsigned>(std::strtoul(given, nullptr, 10));
    }
    return std::random_device{}();
}

TEST(KilledWriterTest, everyKillLeavesASoundFileWithEachPlayerOnceWithTheOldOrTheNewScore)
{
    constexpr int kKills = 200;
    const unsigned seed = seedFromEnvironment();
    std::cout << "seed " << seed << " (PALINOR_RELIABILITY_SEED=" << seed << " repeats the delays)"
              << std::endl;
    RecordProperty("seed", std::to_string(seed));
    std::mt19937 random(seed);
    // Past "ready" the writer commits one store every few milliseconds: the kill lands anywhere in a store.
    std::uniform_int_distribution<int> delayUs(0, 15000);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("billard.mdb"));
    const QStringList players{QStringLiteral("ALPHA"), QStringLiteral("BRAVO"), QStringLiteral("ÉMILE")};
    std::map<QString, int> last;
    {
        ScoreDatabase db(path);
        ASSERT_FALSE(db.createIfMissing());
        ASSERT_FALSE(db.open());
        for (const QString& player : players) {
            ASSERT_FALSE(db.replaceScore({}, player, 0));
            last[player] = 0;
        }
    }
    std::vector<std::string> args{"loop", path.toStdString()};
    for (const QString& player : players) {
        args.push_back(player.toStdString());
    }

    int commits = 0;
    int caughtBetweenCommitAndReport = 0;
    for (int kill = 1; kill <= kKills; ++kill) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", kill " + std::to_string(kill));
        test::ChildProcess writer(kWriter, args, true);
        ASSERT_EQ(writer.readLine(20s), std::optional<std::string>("ready"));
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        const int status = writer.kill();
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer stopped by itself (status " << status << "); see its message above";

        std::map<QString, int> reported = last;
        for (const std::string& line : writer.remainingLines()) {
            std::istringstream words(line);
            std::string name;
            int score = -1;
            ASSERT_TRUE(words >> name >> score) << line;
            reported[QString::fromStdString(name)] = score;
            ++commits;
        }

        const FileContents file = inspect(path);
        ASSERT_EQ(file.integrity, QStringList{QStringLiteral("ok")});
        ASSERT_EQ(file.rows, players.size());
        int advanced = 0;
        for (const QString& player : players) {
            const auto found = file.scores.find(player);
            ASSERT_NE(found, file.scores.end()) << player.toStdString() << " lost";
            ASSERT_EQ(found->second.size(), 1u) << player.toStdString();
            const int stored = found->second.front().toInt();
            const int old = reported[player];
            const int next = (old + 1) % (kMaxStoredScore + 1);
            ASSERT_TRUE(stored == old || stored == next)
                << player.toStdString() << ": stored " << stored << ", last committed " << old;
            if (stored != old) {
                ++advanced;
            }
            last[player] = stored;
        }
        // One store at a time: at most one player can be ahead of what was reported.
        ASSERT_LE(advanced, 1);
        caughtBetweenCommitAndReport += advanced;
    }
    // A kill while the journal was being created may leave it empty, which is no hot journal; the next
    // store takes it over and removes it.
    {
        ScoreDatabase db(path);
        ASSERT_FALSE(db.open());
        ASSERT_FALSE(db.replaceScore({}, QStringLiteral("DERNIER"), 1));
    }
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("billard.mdb")});
    std::cout << kKills << " kills, " << commits << " stores committed, " << caughtBetweenCommitAndReport
              << " kills between a commit and its report" << std::endl;
    // Otherwise every kill came before the first store and nothing was tested.
    EXPECT_GT(commits, kKills);
}

TEST(TwoCopiesTest, bothCopiesRegisterAndStoreEverythingWithoutAFailure)
{
    constexpr int kPlayersEach = 100;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("billard.mdb"));
    // Both start on a folder without the file, so they also race to create it.
    test::ChildProcess first(kWriter, {"sequence", path.toStdString(), "A", std::to_string(kPlayersEach)},
                             false);
    test::ChildProcess second(kWriter, {"sequence", path.toStdString(), "B", std::to_string(kPlayersEach)},
                              false);
    EXPECT_EQ(first.wait(50s), std::optional<int>(0)) << "the first copy failed; see its message above";
    EXPECT_EQ(second.wait(50s), std::optional<int>(0)) << "the second copy failed; see its message above";

    const FileContents file = inspect(path);
    EXPECT_EQ(file.integrity, QStringList{QStringLiteral("ok")});
    EXPECT_EQ(file.rows, 2 * kPlayersEach);
    for (const char* tag : {"A", "B"}) {
        for (int i = 1; i <= kPlayersEach; ++i) {
            const QString name = QStringLiteral("%1-%2").arg(QLatin1String(tag)).arg(i);
            const auto found = file.scores.find(name);
            ASSERT_NE(found, file.scores.end()) << name.toStdString() << " lost";
            ASSERT_EQ(found->second.size(), 1u) << name.toStdString();
            EXPECT_EQ(found->second.front().toInt(), i) << name.toStdString();
        }
    }
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("billard.mdb")});
}

} // namespace
} // namespace palinor

// Qt SQL loads its drivers only under a QCoreApplication; any Qt warning fails the running test.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg) {
            ADD_FAILURE() << "Qt warning: " << message.toStdString();
        }
    });
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
