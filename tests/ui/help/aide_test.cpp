// The help page and the window that shows it.

#include "tests/ui/Contrast.h"
#include "ui/help/Aide.h"
#include "ui/help/HelpPage.h"

#include <QAccessible>
#include <QPlainTextEdit>
#include <QtTest>

class AideTest : public QObject {
    Q_OBJECT

private slots:
    void everyOpeningShowsTheSameFortyThreeLines()
    {
        const QString page = palinor::helpPage();
        const QStringList lines = page.split("\r\n");
        QCOMPARE(lines.size(), 43); // and no line break after the last line
        QCOMPARE(page.count(u'\r') + page.count(u'\n'), 2 * 42);
        QString empty; // "-" for each empty line
        for (const QString& line : lines) {
            empty += line.isEmpty() ? u'-' : u'x';
        }
        QCOMPARE(empty, "x-xx--x-xx-x-xxx-x-xxx-x-xx-x-xx-x-xx-x---x");
        QCOMPARE(lines[0], QString(13, u' ') + "Palinor");
        QCOMPARE(lines[6], "Palinor gère les scores d'une partie de billard hollandais. ");
        QCOMPARE(lines[8], " Pour commencer une partie, cliquez dans le menu sur \"Nouvelle Partie\"");
        QCOMPARE(lines[31], "    - En utilisant la séquence de touche CTRL S");
        QCOMPARE(lines[42], "                         Cordialement Zelk (juin 2004)");
        for (int opening = 0; opening < 2; ++opening) {
            palinor::Aide aide;
            QCOMPARE(aide.windowTitle(), "Aide");
            QCOMPARE(aide.size(), QSize(708, 206));
            QCOMPARE(aide.text()->geometry(), QRect(24, 16, 665, 169));
            QCOMPARE(aide.text()->toPlainText(), QString(page).replace("\r\n", "\n"));
        }
    }

    void theFocusStartsOnThePageItself()
    {
        palinor::Aide aide;
        aide.show();
        QVERIFY(QTest::qWaitForWindowActive(&aide));
        QCOMPARE(QApplication::focusWidget(), aide.text());
        QCOMPARE(QAccessible::queryAccessibleInterface(aide.text())->text(QAccessible::Name), "Aide de Palinor");
    }

    void pageIsDarkOnPaleCyanUnderADarkTheme()
    {
        palinor::testing::DarkTheme dark;
        palinor::Aide aide;
        aide.show();
        QVERIFY(QTest::qWaitForWindowExposed(&aide));
        QCOMPARE(palinor::testing::unreadableIn(&aide), QStringList());
        const QWidget* page = aide.text()->viewport();
        // Right of the text cursor, which stands at the start of the page.
        const QRect area(page->mapTo(&aide, QPoint(8, 2)), page->size() - QSize(10, 4));
        const QString ink = palinor::testing::inkOn(aide.grab().toImage(), area, QColor(192, 255, 255));
        QVERIFY2(ink.startsWith("dark"), qPrintable(ink));
    }
};

QTEST_MAIN(AideTest)
#include "aide_test.moc"
