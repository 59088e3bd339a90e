// The sign-up window, constructed directly and driven with the keyboard and the mouse.

#include "../WindowTesting.h"
#include "ui/signup/inscription.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;
using palinor::testing::ScoreFile;

namespace {

// Loaded from the file and shown, with a game state of its own; what it tells and asks goes to the script.
struct SignUp : testing::ScriptedMessageBoxes, GameState, inscription {
    explicit SignUp(const QString& path) : inscription(*this, *this, testing::kShortWaits)
    {
        load(path);
        show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
    }
    void confirm(const QString& typed)
    {
        text()->setText(typed);
        QTest::keyClick(text(), Qt::Key_Return);
    }
};

} // namespace

class InscriptionTest : public QObject {
    Q_OBJECT

private slots:
    void firstUseOnADarkDesktopCreatesTheFileReadablyAndOnlyAChangedTextConfirms()
    {
        const QPalette light = QApplication::palette();
        QApplication::setPalette(
            QPalette(QColor(53, 53, 53), QColor(53, 53, 53))); // light text, dark grounds
        ScoreFile file;
        SignUp s(file.path);
        QStringList unreadable; // text and ground less than half the grey scale apart
        for (QWidget* w : s.findChildren<QWidget*>() + QList<QWidget*>{&s}) {
            for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                const auto gray = [&](auto role) { return qGray(w->palette().color(group, role).rgb()); };
                if (std::abs(gray(w->backgroundRole()) - gray(w->foregroundRole())) < 128 ||
                    std::abs(gray(QPalette::Highlight) - gray(QPalette::HighlightedText)) < 128) {
                    unreadable << w->metaObject()->className();
                }
            }
        }
        QApplication::setPalette(light);
        QCOMPARE(unreadable, QStringList());
        QVERIFY(QFile::exists(file.path) && s.names().isEmpty() && s.told.isEmpty());
        QCOMPARE(s.text()->text(), "Text1");
        QTest::keyClick(s.list(), Qt::Key_Return);
        QTest::keyClick(s.list(), Qt::Key_Escape);
        QVERIFY(s.isVisible() && !s.okButton()->isEnabled()); // neither Enter before a change nor Escape
        s.text()->setText(" \t dupont\u00A0 ");
        QTest::keyClick(s.text(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(s.PlayerName, "\t DUPONT\u00A0"); // only U+0020 is trimmed
        QCOMPARE(file.records(), QStringList{"\t DUPONT\u00A0|<null>"});
    }

    void namesArePickedWithTheArrowsAndComparedCaseSensitively()
    {
        // A player whose score cannot be read is listed all the same.
        ScoreFile file("('ZOÉ', 5), ('Dupont', 7), ('ÉMILE', 300), ('BRAVO', 2), (NULL, 4)");
        SignUp s(file.path);
        QCOMPARE(s.names(), (QStringList{"", "BRAVO", "Dupont", "ÉMILE", "ZOÉ"})); // French order
        s.confirm(QString(256, 'x')); // too long to be stored: told, and the window stays
        QVERIFY(s.told.size() == 1 && s.isVisible() && s.PlayerName.empty());
        s.confirm("    ");
        QVERIFY(s.isVisible() && s.text()->text().isEmpty() && s.okButton()->isEnabled());
        QStringList picked;
        // Guards a fault: with nothing selected, the first arrow key skipped the first name.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}) {
            QTest::keyClick(s.list(), key);
            picked << s.text()->text();
        }
        QCOMPARE(picked, (QStringList{"", "BRAVO", "", "BRAVO", "Dupont"}));
        QTest::mouseClick(s.okButton(), Qt::LeftButton);
        QCOMPARE(s.PlayerName, "DUPONT"); // not the listed "Dupont": registered
        QCOMPARE(file.records().last(), "DUPONT|<null>");
    }

    void aBusyFileIsAskedAboutAndTheSameWindowWorksOnceItIsFree()
    {
        ScoreFile file("('ALPHA', 5)");
        auto exclusive = std::make_unique<test::Holder>(
            file.path, QStringList{"BEGIN EXCLUSIVE", "DELETE FROM nom WHERE 0"});
        QVERIFY(exclusive->held());
        SignUp s(file.path);
        // Nothing could be read: the user was asked, chose "Annuler", and was told nothing more.
        QVERIFY(s.asked.size() == 1 && s.asked[0].contains(file.path) && s.told.isEmpty() &&
                s.names().isEmpty());
        exclusive.reset();
        s.confirm("alpha"); // the file is read afresh: ALPHA is known, nothing is added
        QVERIFY(s.PlayerName == "ALPHA" && file.records() == QStringList{"ALPHA|5"});
    }

    void aFileThatCannotBeMadeIsToldAtEveryTry()
    {
        QTemporaryDir dir;
        SignUp s(dir.filePath("absent/billard.mdb"));
        s.confirm("bravo");
        QVERIFY(s.told.size() == 2 && s.isVisible() && s.PlayerName.empty());
    }
};

QTEST_MAIN(InscriptionTest)
#include "inscription_test.moc"
