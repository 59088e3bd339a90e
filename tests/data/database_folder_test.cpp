#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace palinor {
namespace {

const QString kProgram = QStringLiteral("/opt/palinor");
const QString kUser = QStringLiteral("/home/joueur/.local/share/palinor");

std::function<bool(const QString&)> writable(bool answer, QStringList* asked = nullptr)
{
    return [answer, asked](const QString& folder) {
        if (asked) {
            *asked << folder;
        }
        return answer;
    };
}

TEST(DatabaseFolderTest, theProgramFolderIsUsedWhileItCanBeWritten)
{
    QStringList asked;
    EXPECT_EQ(chooseDatabaseFolder(kProgram, kUser, writable(true, &asked)), kProgram);
    EXPECT_EQ(asked, QStringList{kProgram});
}

TEST(DatabaseFolderTest, anInstalledProgramKeepsScoresInTheUserFolder)
{
    EXPECT_EQ(chooseDatabaseFolder(kProgram, kUser, writable(false)), kUser);
}

TEST(DatabaseFolderTest, withoutAUserFolderTheProgramFolderStays)
{
    EXPECT_EQ(chooseDatabaseFolder(kProgram, QString(), writable(false)), kProgram);
}

TEST(DatabaseFolderTest, theProbeCreatesAFileAndLeavesNothing)
{
    QTemporaryDir dir;
    EXPECT_TRUE(canCreateFilesIn(dir.path()));
    EXPECT_TRUE(test::entries(dir.path()).isEmpty());
    EXPECT_FALSE(canCreateFilesIn(dir.filePath(QStringLiteral("absent"))));
    test::writeFile(dir.filePath(QStringLiteral("plain")), "x");
    EXPECT_FALSE(canCreateFilesIn(dir.filePath(QStringLiteral("plain"))));
}

TEST(DatabaseFolderTest, databasePathNamesAFolderThatExistsAndKeepsTheCurrentDirectory)
{
    const QString current = QDir::currentPath();
    const QString program = QCoreApplication::applicationDirPath();
    // The build folder can be written, unless the tests run under another user than the build.
    const QString expected = canCreateFilesIn(program)
                                 ? program
                                 : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString path = databasePath();
    EXPECT_EQ(path, expected + QStringLiteral("/billard.mdb"));
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(QDir::currentPath(), current);
}

} // namespace
} // namespace palinor
