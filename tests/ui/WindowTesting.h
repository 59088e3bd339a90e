#pragma once
// For the window tests: a score file made and read behind the program's back, and scripted message boxes.

#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"
#include "ui/messages/MessageBoxes.h"

#include <QTemporaryDir>
#include <QTest>

namespace palinor::testing {

// A file held by another program is given up on after a fraction of a second, not after seconds.
inline const ScoreDatabaseOptions kShortWaits{100, 200, {}, {}};

struct ScoreFile {
    QTemporaryDir dir;
    const QString path = dir.filePath("billard.mdb");

    ScoreFile() = default; // no file yet
    // The program's own table holding these records, written as SQL values: "('ALPHA', 87), (NULL, 12)".
    explicit ScoreFile(const QString& records)
    {
        QVERIFY(!ScoreDatabase(path).createIfMissing());
        QCOMPARE(test::sql(path, R"(INSERT INTO nom ("Nom Complet", Score) VALUES )" + records),
                 QStringList());
    }
    // Every record as "NAME|SCORE", Null as "<null>", in file order.
    QStringList records() const { return test::sql(path, R"(SELECT "Nom Complet", Score FROM nom)"); }
};

struct ScriptedMessageBoxes : MessageBoxes {
    QStringList told;            // every message, in order
    QList<Icon> icons;           // the icon of each
    QStringList asked;           // every question, retry or import, in order
    QList<bool> answers;         // taken in order; "Annuler" once none is left
    std::function<void()> onAsk; // runs before a question is answered, e.g. to release a lock

    void tell(const QString& text, Icon icon, const QString&) override
    {
        told << text;
        icons << icon;
    }
    bool askRetry(const QString& text) override { return answer(text); }
    bool askImport(const QString& text) override { return answer(text); }
    bool answer(const QString& question)
    {
        asked << question;
        if (onAsk) {
            onAsk();
        }
        return !answers.isEmpty() && answers.takeFirst();
    }
};

} // namespace palinor::testing
