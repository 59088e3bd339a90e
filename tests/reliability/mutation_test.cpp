// Thousands of randomly damaged copies of a score file the program made, each opened and listed (some also
// written) by a worker process this test starts, under a time limit per copy. Never a crash, a hang nor a
// sanitizer report; a damaged file is never changed; no file changes without a write the program reported.

#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <string>

namespace palinor {
namespace {

using test::checksum;

constexpr int kReadCopies = 20000, kWriteCopies = 2000, kCopyLimitMs = 2000;
constexpr qsizetype kPage = 4096; // SQLite's default, which createIfMissing keeps
const QString kFileName = QString::fromLatin1(kDatabaseFileName);
const QString kWriter = QStringLiteral("MUTANT É");

// Several leaf pages under an interior page: names near the length limit, accents, replaced records.
QByteArray programMadeFile(const QString& path)
{
    static const char* const first[] = {"ÉMILE",  "JOSÉ",    "FRANÇOISE", "CHLOÉ",  "NOËL",
                                        "HÉLÈNE", "ANDRÉ",   "GAËLLE",    "JÉRÔME", "BÉATRICE",
                                        "ZOÉ",    "LÆTITIA", "ŒDIPE",     "PAUL"};
    ScoreDatabase db(path);
    if (db.createIfMissing() || db.open()) {
        return {};
    }
    for (int i = 0; i < 72; ++i) {
        QString name = QString::fromUtf8(first[i % std::size(first)]) + ' ' + QString::number(i);
        if (i % 2 == 0) {
            name += QStringLiteral(" DE LA TOUR D'AUVERGNE-ÉTÉ").repeated(2 + i % 8);
        }
        if (db.registerPlayer(name)) {
            return {};
        }
        if (i % 3 == 0) {
            std::vector<qint64> ids;
            for (const ScoreRecord& record : db.scan().records) {
                if (record.nameText() == name) {
                    ids.push_back(record.rowId);
                }
            }
            if (db.replaceScore(ids, name, i * 37 % 149)) {
                return {};
            }
        }
    }
    db.close();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// SQLite's own verdict, on a connection that can neither write the file nor leave a journal beside it.
class QuickCheck {
public:
    QuickCheck()
    {
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName)
            .setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
    }
    ~QuickCheck() { QSqlDatabase::removeDatabase(kName); }
    QuickCheck(const QuickCheck&) = delete;
    QuickCheck& operator=(const QuickCheck&) = delete;

    bool passes(const QString& path) const
    {
        QSqlDatabase db = QSqlDatabase::database(kName, false);
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=ro&immutable=1"));
        bool sound = false;
        if (db.open()) {
            QSqlQuery query(db);
            QStringList rows;
            const bool ran = query.exec(QStringLiteral("PRAGMA quick_check"));
            while (ran && query.next()) {
                rows << query.value(0).toString();
            }
            sound = ran && !query.lastError().isValid() && rows == QStringList{QStringLiteral("ok")};
        }
        db.close();
        return sound;
    }

private:
    static inline const QString kName = QStringLiteral("quick-check");
};

struct Damage {
    QByteArray bytes;
    QString what;
};

// Offset and width of the file header's fields, then of a b-tree page header's: kind, first freeblock, cell
// count, cell content start, fragmented bytes, right child (or the first cell pointers of a leaf).
constexpr std::pair<int, int> kHeaderFields[] = {
    {16, 2}, {18, 1}, {19, 1}, {20, 1}, {21, 1}, {22, 1}, {23, 1}, {24, 4}, {28, 4}, {32, 4}, {36, 4},
    {40, 4}, {44, 4}, {48, 4}, {52, 4}, {56, 4}, {60, 4}, {64, 4}, {68, 4}, {72, 4}, {92, 4}, {96, 4}};
constexpr std::pair<int, int> kPageFields[] = {{0, 1}, {1, 2}, {3, 2}, {5, 2}, {7, 1}, {8, 4}};

// Rewrites a big-endian field with a value near its limits, its old value or chance.
QString rewrite(QByteArray& bytes, qsizetype at, int width, std::mt19937& random)
{
    const quint64 all = (quint64(1) << (8 * width)) - 1;
    quint64 old = 0;
    for (int i = 0; i < width; ++i) {
        old = old << 8 | quint8(bytes[at + i]);
    }
    const quint64 power = quint64(1) << random() % (8 * width), chance = random();
    const quint64 picks[] = {0, 1, 2, 3, 4, 32, 64, 255, all, all >> 1, old - 1, old + 1, power, chance};
    quint64 value = picks[random() % std::size(picks)] & all;
    const QString what = QStringLiteral("%1 = %2").arg(at).arg(value);
    for (int i = width - 1; i >= 0; --i, value >>= 8) {
        bytes[at + i] = char(value & 0xff);
    }
    return what;
}

// Copy `index` of the run `seed`: the same damage whatever ran before it.
Damage damage(const QByteArray& valid, unsigned seed, int index)
{
    std::seed_seq seeds{seed, unsigned(index)};
    std::mt19937 random(seeds);
    const auto below = [&random](qsizetype bound) { return qsizetype(random() % quint64(bound)); };
    QByteArray bytes = valid;
    const qsizetype pages = bytes.size() / kPage;
    switch (below(5)) {
    case 0: {
        QStringList flipped;
        for (qsizetype n = 1 + below(8); n > 0; --n) {
            const qsizetype at = below(bytes.size()), bit = below(8);
            bytes[at] = char(bytes[at] ^ (1 << bit));
            flipped << QStringLiteral("%1.%2").arg(at).arg(bit);
        }
        return {bytes, QStringLiteral("bits flipped at ") + flipped.join(' ')};
    }
    case 1:
        bytes.truncate(below(2) ? below(pages) * kPage : below(bytes.size()));
        return {bytes, QStringLiteral("cut to %1 bytes").arg(bytes.size())};
    case 2: {
        const auto [at, width] = kHeaderFields[below(std::size(kHeaderFields))];
        const QString what = rewrite(bytes, at, width, random);
        return {bytes, QStringLiteral("header byte ") + what};
    }
    case 3: {
        const qsizetype page = below(pages), start = page == 0 ? 100 : page * kPage;
        const auto [at, width] = kPageFields[below(std::size(kPageFields))];
        const QString what = rewrite(bytes, start + at, width, random);
        return {bytes, QStringLiteral("page %1 header, byte %2").arg(page + 1).arg(what)};
    }
    default: {
        const qsizetype from = below(pages), to = (from + 1 + below(pages - 1)) % pages;
        bytes.replace(to * kPage, kPage, bytes.mid(from * kPage, kPage));
        return {bytes, QStringLiteral("page %1 copied over page %2").arg(from + 1).arg(to + 1)};
    }
    }
}

// --worker FILE: for each line "N read" or "N write" on its input, opens FILE and lists it as the windows do;
// "write" also registers a player and stores a score. Prints "done N" and each call's answer, ok or e<kind>.
int worker(const QString& path)
{
    const auto answer = [](const std::optional<DbError>& error) {
        return error ? QStringLiteral("e%1").arg(int(error->kind)) : QStringLiteral("ok");
    };
    std::printf("ready\n");
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
        QStringList told;
        {
            ScoreDatabase db(path);
            const std::optional<DbError> opened = db.open();
            told << "open=" + answer(opened) + (db.isReadOnly() ? "/ro" : "");
            const ScanResult scan = db.scan();
            told << "scan=" + (scan.error ? answer(scan.error) : QString::number(scan.records.size()));
            if (line.ends_with(" write")) {
                told << "register=" + answer(db.registerPlayer(kWriter));
                std::vector<qint64> ids;
                for (const ScoreRecord& record : db.scan().records) {
                    if (record.nameText() == kWriter) {
                        ids.push_back(record.rowId);
                    }
                }
                told << "store=" + answer(db.replaceScore(ids, kWriter, 77));
            }
        }
        std::printf("done %s %s\n", line.substr(0, line.find(' ')).c_str(), qPrintable(told.join(' ')));
        std::fflush(stdout);
    }
    return 0;
}

enum Fault { Crash, Hang, SanitizerReport, DamagedWritten, UnreportedChange, kFaultKinds };
const char* const kFaultNames[] = {"crashes", "hangs", "sanitizer reports", "damaged written",
                                   "unreported changes"};

struct Tally {
    int read = 0, written = 0, damaged = 0, opened = 0, writesDone = 0;
    std::array<QStringList, kFaultKinds> faults; // a line for each copy, by kind

    int count(Fault kind) const { return int(faults[kind].size()); }
};

// Hands copies to two workers, one at a time each; a worker that hangs or dies is replaced and goes on with
// the next copy.
class Campaign {
public:
    Campaign(const QByteArray& valid, unsigned seed, std::vector<int> copies, const QString& folder)
        : valid_(valid), seed_(seed), copies_(std::move(copies))
    {
        for (int i = 0; i < int(workers_.size()); ++i) {
            Worker& w = workers_[i];
            QDir(folder).mkdir(QString::number(i));
            w.folder = folder + '/' + QString::number(i);
            w.limit.setSingleShot(true);
            QObject::connect(&w.limit, &QTimer::timeout, [this, &w] {
                w.hung = true;
                w.process->kill();
            });
        }
    }

    Tally run()
    {
        for (Worker& w : workers_) {
            start(w);
        }
        loop_.exec();
        return tally_;
    }

private:
    struct Worker {
        QString folder;
        std::unique_ptr<QProcess> process;
        QTimer limit;
        QByteArray pending, errors; // a part line of output; the end of its standard error
        int copy = -1;              // under way
        bool damaged = false, hung = false, ready = false, done = false;
        QString what;
        QByteArray before;
    };

    QString path(const Worker& w) const { return w.folder + '/' + kFileName; }

    void start(Worker& w)
    {
        if (w.process) {
            w.process.release()->deleteLater(); // its own finished signal is still being delivered
        }
        w.process = std::make_unique<QProcess>();
        w.ready = w.hung = false;
        w.pending.clear();
        w.errors.clear();
        QProcess* process = w.process.get();
        QObject::connect(process, &QProcess::readyReadStandardOutput, [this, &w, process] {
            w.pending += process->readAllStandardOutput();
            for (qsizetype end; (end = w.pending.indexOf('\n')) >= 0;) {
                const QByteArray line = w.pending.left(end);
                w.pending.remove(0, end + 1);
                heard(w, line);
            }
        });
        QObject::connect(process, &QProcess::readyReadStandardError, [&w, process] {
            w.errors = (w.errors + process->readAllStandardError()).right(64 * 1024);
        });
        QObject::connect(process, &QProcess::finished,
                         [this, &w, process](int code, QProcess::ExitStatus how) {
                             w.errors = (w.errors + process->readAllStandardError()).right(64 * 1024);
                             ended(w, code, how);
                         });
        process->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--worker"), path(w)});
    }

    void feed(Worker& w)
    {
        if (next_ >= copies_.size()) {
            w.process->closeWriteChannel();
            return;
        }
        w.copy = copies_[next_++];
        const Damage copy = damage(valid_, seed_, w.copy);
        // Rewritten in place: a file truncated to nothing is flushed to disk on close by ext4.
        QFile file(path(w));
        if (!file.open(QIODevice::ReadWrite) || file.write(copy.bytes) != copy.bytes.size() ||
            !file.resize(copy.bytes.size())) {
            qFatal("cannot write %s", qPrintable(path(w)));
        }
        file.close();
        w.what = copy.what;
        w.before = QCryptographicHash::hash(copy.bytes, QCryptographicHash::Sha256);
        w.damaged = !check_.passes(path(w));
        w.process->write(QByteArray::number(w.copy) + (w.copy < kReadCopies ? " read\n" : " write\n"));
        w.limit.start(kCopyLimitMs);
    }

    void heard(Worker& w, const QByteArray& line)
    {
        if (w.hung) {
            return; // too late: being killed
        } else if (line == "ready") {
            w.ready = true;
            feed(w);
        } else if (line.startsWith("done ") && line.split(' ').value(1).toInt() == w.copy) {
            w.limit.stop();
            settle(w, QString::fromUtf8(line.mid(line.indexOf(' ', 5) + 1)));
            feed(w);
        }
    }

    void ended(Worker& w, int code, QProcess::ExitStatus how)
    {
        w.limit.stop();
        const bool sanitizer = w.errors.contains("ERROR: AddressSanitizer") ||
                               w.errors.contains("ERROR: LeakSanitizer") ||
                               w.errors.contains("runtime error:");
        const bool failed = how == QProcess::CrashExit || code != 0 || sanitizer;
        const bool onCopy = w.copy >= 0;
        const Fault kind = w.hung ? Hang : sanitizer ? SanitizerReport : Crash;
        const QString fault = w.hung      ? QStringLiteral("no answer within %1 ms").arg(kCopyLimitMs)
                              : sanitizer ? QStringLiteral("sanitizer report")
                              : how == QProcess::CrashExit
                                  ? QStringLiteral("worker killed by signal %1").arg(code)
                                  : QStringLiteral("worker exited %1").arg(code);
        // The end of its standard error: a sanitizer prints its verdict last.
        const QString errors = QString::fromUtf8(w.errors.right(600));
        if (onCopy) {
            settle(w, fault + ": " + errors, kind);
        } else if (failed) {
            tally_.faults[kind] << QStringLiteral("worker %1: %2: %3")
                                       .arg(w.ready ? "after its last copy" : "before its first copy", fault,
                                            errors);
        }
        // Only a worker lost on a copy is replaced: one that fails outside any copy would fail again.
        if (onCopy && next_ < copies_.size()) {
            start(w);
        } else {
            w.done = true;
        }
        if (std::all_of(workers_.begin(), workers_.end(), [](const Worker& x) { return x.done; })) {
            loop_.quit();
        }
    }

    // Judges the copy the worker has finished with, hung on or died on; `told` is its report or the fault.
    void settle(Worker& w, const QString& told, std::optional<Fault> ending = std::nullopt)
    {
        const bool changed = checksum(path(w)) != w.before;
        const bool wrote =
            told.contains(QLatin1String("register=ok")) || told.contains(QLatin1String("store=ok"));
        ++(w.copy < kReadCopies ? tally_.read : tally_.written);
        tally_.damaged += w.damaged;
        tally_.opened += told.startsWith(QLatin1String("open=ok"));
        tally_.writesDone += wrote;
        const QString line = QStringLiteral("copy %1 (%2; %3%4): %5")
                                 .arg(w.copy)
                                 .arg(w.what, w.damaged ? "damaged" : "sound", changed ? ", changed" : "")
                                 .arg(told);
        const bool found[kFaultKinds] = {ending == Crash, ending == Hang, ending == SanitizerReport,
                                         changed && w.damaged, changed && !wrote};
        for (int kind = 0; kind < kFaultKinds; ++kind) {
            if (found[kind]) {
                tally_.faults[kind] << line;
            }
        }
        // Journals a worker left are no concern here: the next copy must start alone.
        for (const char* side : {"-journal", "-wal", "-shm"}) {
            QFile::remove(path(w) + QLatin1String(side));
        }
        w.copy = -1;
    }

    const QByteArray valid_;
    const unsigned seed_;
    const std::vector<int> copies_;
    std::size_t next_ = 0;
    std::array<Worker, 2> workers_;
    QEventLoop loop_;
    Tally tally_;
    QuickCheck check_;
};

TEST(MutationTest, damagedCopiesNeverCrashHangOrGetWrittenAndNoFileChangesWithoutAReportedWrite)
{
    const QByteArray givenSeed = qgetenv("PALINOR_MUTATION_SEED");
    const unsigned seed = givenSeed.isEmpty() ? std::random_device{}() : givenSeed.toUInt();
    std::printf("seed %u (PALINOR_MUTATION_SEED=%u repeats every copy)\n", seed, seed);
    std::vector<int> copies(kReadCopies + kWriteCopies);
    std::iota(copies.begin(), copies.end(), 0);
    QTemporaryDir dir;
    const QByteArray valid = programMadeFile(dir.filePath(kFileName));
    ASSERT_TRUE(QuickCheck().passes(dir.filePath(kFileName)));
    ASSERT_EQ(valid.size() % kPage, 0);
    ASSERT_GE(valid.size() / kPage, 4) << "too few pages for page copies and b-tree damage to matter";
    std::printf("valid file: %lld pages of %lld bytes\n", qlonglong(valid.size() / kPage), qlonglong(kPage));

    const Tally t = Campaign(valid, seed, copies, dir.path()).run();
    std::printf("mutation: %d opened+scanned, %d with writes, %d crashes, %d hangs, %d sanitizer reports, %d "
                "damaged written, %d unreported changes, %d damaged, %d opened, %d writes done\n",
                t.read, t.written, t.count(Crash), t.count(Hang), t.count(SanitizerReport),
                t.count(DamagedWritten), t.count(UnreportedChange), t.damaged, t.opened, t.writesDone);
    EXPECT_EQ(t.read + t.written, int(copies.size()));
    for (int kind = 0; kind < kFaultKinds; ++kind) {
        EXPECT_EQ(t.faults[kind].size(), 0) << kFaultNames[kind] << ", such as:\n"
                                            << qPrintable(t.faults[kind].mid(0, 8).join('\n'));
    }
    // Both verdicts, files the program opened and writes it made: else nothing was tested.
    EXPECT_GT(t.damaged, 0);
    EXPECT_LT(t.damaged, t.read + t.written);
    EXPECT_GT(t.opened, 0);
    EXPECT_GT(t.writesDone, 0);
}

} // namespace
} // namespace palinor

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--worker") {
        return palinor::worker(QString::fromLocal8Bit(argv[2]));
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
