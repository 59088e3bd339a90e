// Randomly damaged copies of a score file, each read (some written) by a copy of this process: never a
// crash, a hang nor a sanitizer report; a damaged file never changed, nor any without a reported write.

#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace palinor;

namespace {

constexpr qsizetype kPage = 4096; // SQLite's default, which createIfMissing keeps

// Copy `index` of the run `seed`, the same whatever ran before it: bits flipped (half the time among the file
// header and the first page header), the file cut, or a page copied over another.
QByteArray damaged(QByteArray bytes, unsigned seed, int index)
{
    std::seed_seq seeds{seed, unsigned(index)};
    std::mt19937 random(seeds);
    const auto below = [&random](qsizetype bound) { return qsizetype(random() % quint64(bound)); };
    const qsizetype pages = bytes.size() / kPage, page = below(pages);
    switch (below(3)) {
    case 0:
        for (qsizetype n = 1 + below(8), at = 0; n > 0; --n) {
            at = below(below(2) ? 112 : bytes.size());
            bytes[at] = char(bytes[at] ^ (1 << below(8)));
        }
        return bytes;
    case 1:
        return bytes.left(below(2) ? page * kPage : below(bytes.size()));
    default:
        return bytes.replace(((page + 1 + below(pages - 1)) % pages) * kPage, kPage,
                             bytes.mid(page * kPage, kPage));
    }
}

// Opens and lists one copy as the windows do; every tenth also registers a player and stores a score. Says
// whether the copy is damaged, was opened, written, and changed: "1101".
QByteArray tried(const QString& path, const QByteArray& valid, unsigned seed, int index)
{
    const QByteArray bytes = damaged(valid, seed, index);
    // SQLite's own verdict, on a copy of its own.
    const bool isDamaged = !test::writeFile(path + ".check", bytes) ||
                           test::sql(path + ".check", "PRAGMA quick_check") != QStringList{"ok"};
    test::writeFile(path, bytes);
    bool opened = false, wrote = false;
    {
        ScoreDatabase db(path);
        opened = !db.open();
        db.scan();
        if (index % 10 == 9) {
            const bool registered = !db.registerPlayer("MUTANT É");
            wrote = !db.replaceScore({}, "MUTANT É", 77) || registered;
        }
    }
    return QByteArray() + char('0' + isDamaged) + char('0' + opened) + char('0' + wrote) +
           char('0' + (test::contents(path) != bytes));
}

TEST(DamagedCopies, neverCrashHangOrGetWrittenAndNoFileChangesWithoutAReportedWrite)
{
    const QByteArray given = qgetenv("PALINOR_DAMAGE_SEED");
    const unsigned seed = given.isEmpty() ? std::random_device{}() : given.toUInt();
    const int copies = std::max(2000, qEnvironmentVariableIntValue("PALINOR_DAMAGED_COPIES"));
    std::printf("seed %u (PALINOR_DAMAGE_SEED=%u repeats every copy), %d copies\n", seed, seed, copies);
    // In memory where the system has it: the copies are many.
    QTemporaryDir dir((QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) + "/palinor-XXXXXX");
    const QString path = dir.filePath(kDatabaseFileName);
    // Several leaf pages under an interior page: long names, accents, replaced records.
    ScoreDatabase made(path);
    for (int i = 0; i < 72; ++i) {
        const QString name = QString("JOUEUR É%1").arg(i) + QString(" DE LA TOUR-ÉTÉ").repeated(i % 9);
        ASSERT_FALSE(made.createIfMissing() || made.registerPlayer(name) ||
                     made.replaceScore({}, name, i % 149));
    }
    const QByteArray valid = test::contents(path);
    ASSERT_TRUE(valid.size() / kPage >= 4) << "too few pages for b-tree damage to matter";

    QStringList faults;
    int verdicts[3] = {}; // damaged, opened, written
    for (int i = 0; i < copies; ++i) {
        // Each copy read by a copy of this process: a hang or a crash is named and the next goes on.
        test::Child reader([&](int out) { return test::say(out, tried(path, valid, seed, i) + '\n'), 0; });
        const QByteArray said = reader.line(5000).value_or("no answer within 5 s");
        const int status = reader.end(said.size() == 4 ? 0 : SIGKILL);
        // A damaged file is never changed, nor is any without a write.
        if (status != 0 || said.size() != 4 || (said[3] == '1' && (said[0] == '1' || said[2] == '0'))) {
            faults << QString("copy %1: %2 (damaged, opened, written, changed), wait status %3")
                          .arg(QString::number(i), QString::fromUtf8(said), QString::number(status));
            for (const char* side : {"-journal", "-wal", "-shm"}) {
                QFile::remove(path + side); // the next copy starts alone
            }
        }
        for (int v = 0; v < 3; ++v) {
            verdicts[v] += said[v] == '1';
        }
    }
    EXPECT_EQ(faults, QStringList());
    // Both verdicts, files the program opened and writes it made: else nothing was tested.
    std::printf("%d damaged, %d opened, %d written\n", verdicts[0], verdicts[1], verdicts[2]);
    EXPECT_TRUE(verdicts[0] > 0 && verdicts[0] < copies && verdicts[1] > 0 && verdicts[2] > 0);
}

} // namespace
