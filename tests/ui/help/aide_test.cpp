// The help window and the page it shows.

#include "ui/help/Aide.h"
#include "ui/help/HelpPage.h"

#include <QPlainTextEdit>
#include <QtTest>

class AideTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowShowsTheWholePage()
    {
        const QString page = palinor::helpPage();
        QVERIFY(page.count("\r\n") == 42 && page.count('\r') + page.count('\n') == 84 &&
                !page.endsWith('\n'));
        // "Utliser" and "un clique" are the page's own spellings, kept as written.
        QVERIFY(page.contains("\r\n    - Utliser le raccourci CTRL F1.\r\n") &&
                page.contains(" un clique sur "));
        palinor::Aide aide;
        QCOMPARE(aide.text()->toPlainText(), QString(page).replace("\r\n", "\n"));
    }
};

QTEST_MAIN(AideTest)
#include "aide_test.moc"
