// Foreign, broken and read-only score files met by the real windows: a message naming the file, an empty
// list, and not one byte changed.

#include "tests/ui/ScoreFiles.h"
#include "ui/scores/scorefrm.h"
#include "ui/signup/inscription.h"

#include <QDir>
#include <QLineEdit>
#include <QtTest>
#include <unistd.h>

using namespace palinor;
using palinor::testing::ScoreFile;

namespace {

class TestedSignUp : public inscription {
public:
    using inscription::inscription;
    QStringList reports;

protected:
    void report(const QString& message) override { reports << message; }
};

enum class Window { SignUp, Scores };
enum class Make { Bytes, Sql, Folder };

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

GameState playerWhoseScoreIsDue()
{
    GameState state;
    state.PlayerName = "ALPHA";
    state.CurrentScore = 90;
    state.CurrentRound = 1;
    state.ForceScoreUpdate = true;
    return state;
}

// Root writes through any permission bit: for as long as it lives, this process runs as the unprivileged
// user nobody, as an ordinary user would meet the file. Does nothing for an ordinary user.
class AsOrdinaryUser {
public:
    static constexpr uid_t kNobody = 65534;

    AsOrdinaryUser()
    {
        if (geteuid() != 0) {
            return;
        }
        // The group first, while still allowed to; root stays the saved id so that it can come back.
        dropped_ = setresgid(kNobody, kNobody, 0) == 0 && setresuid(kNobody, kNobody, 0) == 0;
        failed_ = !dropped_;
    }
    ~AsOrdinaryUser()
    {
        if (dropped_ && (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0)) {
            qFatal("cannot become root again");
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

    bool failed() const { return failed_; }

private:
    bool dropped_ = false;
    bool failed_ = false;
};

} // namespace

class BadFilesTest : public QObject {
    Q_OBJECT

private slots:
    // Only what the window tests do not cover already: the garbage, empty and Jet files through the score
    // table, and the Jet file through the sign-up window, are tested beside those windows.
    void badFileIsToldNamedAndLeftAlone_data()
    {
        QTest::addColumn<Window>("window");
        QTest::addColumn<Make>("make");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("mentions");

        const QByteArray noTable("CREATE TABLE joueurs (nom TEXT, points INTEGER)");
        const QByteArray otherFields("CREATE TABLE nom (Joueur TEXT, Points INTEGER, Date TEXT)");
        const std::pair<Window, const char*> windows[] = {{Window::SignUp, "inscription"},
                                                          {Window::Scores, "scorefrm"}};
        for (const auto& [window, name] : windows) {
            QTest::addRow("no table nom, %s", name)
                << window << Make::Sql << noTable << QStringLiteral("pas de table « nom »");
            QTest::addRow("other fields, %s", name)
                << window << Make::Sql << otherFields << QStringLiteral("exactement");
            QTest::addRow("folder, %s", name)
                << window << Make::Folder << QByteArray() << QStringLiteral("dossier");
        }
        QTest::newRow("garbage, inscription") << Window::SignUp << Make::Bytes << QByteArray(3000, '\xA5')
                                              << QStringLiteral("pas une base de scores");
        QTest::newRow("empty, inscription")
            << Window::SignUp << Make::Bytes << QByteArray() << QStringLiteral("vide");
    }

    void badFileIsToldNamedAndLeftAlone()
    {
        QFETCH(Window, window);
        QFETCH(Make, make);
        QFETCH(QByteArray, content);
        QFETCH(QString, mentions);

        ScoreFile file;
        const QString folder = QFileInfo(file.path()).absolutePath();
        if (make == Make::Folder) {
            QVERIFY(QDir().mkdir(file.path()));
        } else if (make == Make::Sql) {
            file.exec(QString::fromUtf8(content));
        } else {
            file.write(content);
        }
        const QByteArray before = file.checksum();
        const QStringList filesBefore = entries(folder);

        QStringList messages;
        if (window == Window::SignUp) {
            GameState state;
            TestedSignUp signUp(state);
            messages = signUp.load(file.path());
            signUp.show();
            QVERIFY(QTest::qWaitForWindowExposed(&signUp));
            QVERIFY(signUp.names().isEmpty());
            signUp.text()->setText(QStringLiteral("dupont"));
            QTest::keyClick(signUp.text(), Qt::Key_Return);
            // Without a usable file no player can be registered, and the window says so.
            QCOMPARE(signUp.reports.size(), 1);
            QVERIFY(signUp.isVisible());
            QVERIFY(state.PlayerName.empty());
        } else {
            GameState state = playerWhoseScoreIsDue();
            scorefrm table;
            messages = table.load(state, file.path());
            QVERIFY(table.ranking().isEmpty());
            QVERIFY(state.ForceScoreUpdate); // nothing was stored, so the store is still due
        }

        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QDir::toNativeSeparators(file.path())), qPrintable(messages[0]));
        QVERIFY2(messages[0].contains(mentions), qPrintable(messages[0]));
        QCOMPARE(file.checksum(), before);
        QCOMPARE(entries(folder), filesBefore);
        if (make == Make::Folder) {
            QVERIFY(QFileInfo(file.path()).isDir());
            QVERIFY(entries(file.path()).isEmpty());
        }
    }

    // A read-only file is a sound file: both windows list it, and each write is refused with a message.
    void readOnlyFileIsListedAndNeverWritten()
    {
        ScoreFile file;
        file.create({{QStringLiteral("ALPHA"), 40}});
        const QString folder = QFileInfo(file.path()).absolutePath();
        // The folder stays open to everyone, so only the file itself forbids writing.
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)));
        QVERIFY(QFile::setPermissions(file.path(), QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                       QFileDevice::ReadOther | QFileDevice::ReadUser));
        const QByteArray before = file.checksum();

        QStringList signUpMessages;
        QStringList signUpNames;
        QStringList reports;
        std::string chosen;
        QStringList tableMessages;
        QStringList ranking;
        bool flagAfter = false;
        {
            AsOrdinaryUser user;
            if (user.failed()) {
                QSKIP("running as root, and cannot switch to an unprivileged user to meet a read-only file");
            }
            GameState state;
            {
                TestedSignUp signUp(state);
                signUpMessages = signUp.load(file.path());
                signUpNames = signUp.names();
                signUp.show();
                QVERIFY(QTest::qWaitForWindowExposed(&signUp));
                signUp.text()->setText(QStringLiteral("bravo"));
                QTest::keyClick(signUp.text(), Qt::Key_Return);
                reports = signUp.reports;
                signUp.text()->setText(QStringLiteral("alpha")); // registered already: nothing to write
                QTest::keyClick(signUp.text(), Qt::Key_Return);
                chosen = state.PlayerName;
            }
            GameState due = playerWhoseScoreIsDue();
            scorefrm table;
            tableMessages = table.load(due, file.path());
            ranking = table.ranking();
            flagAfter = due.ForceScoreUpdate;
        }

        QCOMPARE(signUpMessages, QStringList());
        QCOMPARE(signUpNames, QStringList{QStringLiteral("ALPHA")});
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].contains(file.path()) && reports[0].contains(QStringLiteral("lecture seule")),
                 qPrintable(reports[0]));
        QCOMPARE(chosen, std::string("ALPHA"));

        QCOMPARE(tableMessages.size(), 1);
        QVERIFY2(tableMessages[0].contains(file.path()) &&
                     tableMessages[0].contains(QStringLiteral("lecture seule")),
                 qPrintable(tableMessages[0]));
        QCOMPARE(ranking, QStringList{QStringLiteral("  N°   1     ALPHA (040)")});
        QVERIFY(flagAfter);

        QCOMPARE(file.checksum(), before);
        QCOMPARE(entries(folder), QStringList{QStringLiteral("billard.mdb")});
    }
};

QTEST_MAIN(BadFilesTest)
#include "bad_files_test.moc"
