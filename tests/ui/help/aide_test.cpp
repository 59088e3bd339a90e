#include "ui/help/Aide.h"
#include "ui/help/HelpPage.h"

#include <QPlainTextEdit>
#include <QtTest>

using namespace palinor;

class AideTest : public QObject {
    Q_OBJECT

private slots:
    void pageHasItsFortyThreeLines()
    {
        const QString page = helpPage();
        QVERIFY(!page.endsWith(QStringLiteral("\r\n")));
        QVERIFY(!page.contains(QRegularExpression(QStringLiteral("[^\\r]\\n|\\r[^\\n]"))));
        const QStringList lines = page.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 43);
        QCOMPARE(lines[0], QString(13, QLatin1Char(' ')) + QStringLiteral("Palinor"));
        QCOMPARE(lines[6], QStringLiteral("Palinor gère les scores d'une partie de billard hollandais. "));
        QVERIFY(lines[3].startsWith(QStringLiteral("           Le site de Zelk : https://")));
        QVERIFY(lines[3].endsWith(QStringLiteral("example.org/zelk/ ")));
        QCOMPARE(lines[8],
                 QStringLiteral(" Pour commencer une partie, cliquez dans le menu sur \"Nouvelle Partie\""));
        QCOMPARE(lines[31], QStringLiteral("    - En utilisant la séquence de touche CTRL S"));
        QVERIFY(lines[38].endsWith(QStringLiteral("contactez moi sur zelk@example.org")));
        QCOMPARE(lines[42], QStringLiteral("                         Cordialement Zelk (juin 2004)"));
        // Between line 39 and line 43 stand four line breaks.
        QVERIFY(page.contains(
            QStringLiteral("zelk@example.org\r\n\r\n\r\n\r\n                         Cordialement")));
        int empty = 0;
        for (const QString& line : lines) {
            empty += line.isEmpty();
        }
        QCOMPARE(empty, 18);
    }

    void everyOpeningShowsTheSamePageOnce()
    {
        QString expected = helpPage();
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        for (int opening = 0; opening < 2; ++opening) {
            Aide aide;
            QCOMPARE(aide.windowTitle(), QStringLiteral("Aide"));
            QCOMPARE(aide.size(), QSize(708, 206));
            QCOMPARE(aide.text()->toPlainText(), expected);
            QCOMPARE(aide.text()->document()->blockCount(), 43);
            QCOMPARE(aide.text()->geometry(), QRect(24, 16, 665, 169));
        }
    }
};

QTEST_MAIN(AideTest)
#include "aide_test.moc"
