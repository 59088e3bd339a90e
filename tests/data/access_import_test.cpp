// Importing the older program's Access 2000 score file: every record as stored, nothing changed on a refusal.

#include "data/AccessImport.h"
#include "data/FileSystem.h"
#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#endif

using namespace palinor;
using namespace palinor::test;

namespace {

const auto fixture = [](const char* name) { return contents(PALINOR_ACCESS_FIXTURES "/" + QString(name)); };

// A folder holding the bytes given under the name billard.mdb, and the reader script given (none: the real
// reader; "absent": a reader that is not there).
struct OldFile {
    QTemporaryDir folder;
    QString path = folder.filePath("billard.mdb"), reader;
    QByteArray bytes;
#ifdef _WIN32
    // Wine lets go of an ended reader's working folder a moment after its end.
    ~OldFile()
    {
        folder.setAutoRemove(false);
        for (const QDeadlineTimer end(5000); !QDir(folder.path()).removeRecursively() && !end.hasExpired();) {
            QThread::msleep(20);
        }
    }
#endif

    explicit OldFile(const QByteArray& given, const QByteArray& script = {})
        : reader(script.isEmpty() ? accessReaderPath() : folder.filePath("reader.sh")), bytes(given)
    {
        writeFile(path, bytes);
        if (script != "absent" && !script.isEmpty() && writeFile(reader, "#!/bin/sh\n" + script + "\n")) {
            QFile::setPermissions(reader, QFile::ReadOwner | QFile::ExeOwner);
        }
    }
    AccessImport import() const
    {
        return importAccessFile(path, reader, reader.endsWith(".sh") ? 500 : 10000);
    }
    // Each record with the type SQLite stored its name as.
    QStringList rows() const
    {
        return sql(path, R"(SELECT "Nom Complet", typeof("Nom Complet"), Score, Score1, Score2 FROM nom)");
    }
    // A refusal leaves the old file as it was, and nothing new beside it.
    void refused(const QString& reason) const
    {
        const QStringList files = entries(folder.path());
        const QString said = told(import().error);
        EXPECT_TRUE(said.contains(reason) && said.endsWith("Il reste tel quel, et rien n'a été modifié."))
            << said;
        EXPECT_TRUE(entries(folder.path()) == files && contents(path) == bytes);
    }
};

TEST(AccessImport, EveryRecordComesAsStoredAndTheOldFileIsKeptUnchanged)
{
    OldFile old(fixture("billard.mdb"));
    const AccessImport done = old.import();
    ASSERT_EQ(told(done.error), "");
    EXPECT_TRUE(done.unreadable == 0 && contents(done.keptAs) == old.bytes);
    QStringList rows = old.rows();
    const QString longName = rows.value(10).section('|', 0, 0);
    EXPECT_TRUE(longName.size() == 255 && longName.startsWith("LONG ") && longName.endsWith(u'É'));
    rows[10] = "LONG…|" + rows[10].section('|', 1);
#ifdef _WIN32
    // mdbtools' driver, standing in for Jet under Wine, gives an empty text as Null; Jet keeps it.
    rows.replace(11, rows[11].replace("<null>|null|1|", "|text|1|"));
#endif
    EXPECT_EQ(rows, (QStringList{"DUPONT JEAN|text|148|<null>|<null>", "ÉLODIE ÈVE|text|0|<null>|<null>",
                                 "FRANÇOIS|text|37|1|2", "ŒDIPE|text|12|<null>|<null>",
                                 "STRAßE|text|99|<null>|<null>", "<null>|null|50|<null>|<null>",
                                 "NOUVEAU JOUEUR|text|<null>|<null>|<null>", "NÉGATIF|text|-5|<null>|<null>",
                                 "TROP GRAND|text|300|<null>|<null>", "DUPONT JEAN|text|77|<null>|<null>",
                                 "LONG…|text|255|32767|-32768", "|text|1|<null>|<null>",
                                 "<null>|null|<null>|<null>|<null>", "€ ŠŽ Ÿ àéîõü|text|200|<null>|<null>"}));
    EXPECT_EQ(importMessage(done),
              "14 enregistrements ont été importés de l'ancien fichier des scores. L'ancien "
              "fichier est gardé tel quel sous le nom « " +
                  QDir::toNativeSeparators(done.keptAs) + " ».");
    // The same old file brought back and imported again: the first copy kept stays where it is.
    EXPECT_TRUE(writeFile(old.path, old.bytes) &&
                old.import().keptAs == old.folder.filePath("billard-ancien-2.mdb"));
    EXPECT_EQ(entries(old.folder.path()),
              (QStringList{"billard-ancien-2.mdb", "billard-ancien.mdb", "billard.mdb"}));

    OldFile empty(fixture("empty.mdb"));
    EXPECT_TRUE(empty.import().imported == 0 &&
                sql(empty.path, "SELECT name FROM sqlite_master UNION ALL SELECT count(*) FROM nom") ==
                    QStringList({"nom", "0"}));
#ifdef _WIN32
    return skipCase("odd bytes from the reader", "a reader made as a shell script needs a shell");
#else
    // Bytes that are not UTF-8 and a score that is not a number: counted, not imported.
    OldFile odd(fixture("empty.mdb"),
                "printf 'PALINOR-ACCESS 1\\nLIGNES 3\\nE\\nT 5\\nALPHA\\nT 2\\n12\\nN\\nN\\nE\\nT 2\\n"
                "\\377\\376\\nN\\nN\\nN\\nE\\nT 1\\nB\\nT 3\\nabc\\nN\\nN\\nFIN 3\\n'");
    const AccessImport counted = odd.import();
    EXPECT_TRUE(counted.imported == 1 && counted.unreadable == 2 && !counted.error);
    EXPECT_EQ(odd.rows(), QStringList{"ALPHA|text|12|<null>|<null>"});
    EXPECT_TRUE(importMessage(counted).contains(" 2 enregistrements illisibles n'ont pas été importés."));
#endif
}

TEST(AccessImport, ARefusedFileIsLeftAsItIsWithItsReasonWhateverTheReaderDoes)
{
    const QByteArray empty = fixture("empty.mdb"), cut = fixture("players-2000-trunc-190416.mdb");
    QByteArray jet3 = empty, ace = jet3, padded = cut;
    jet3[0x14] = 0;
    ace.replace(4, 15, "Standard ACE DB");
    // The cut file made whole in size: the library would give its last rows as Nulls it made up.
    padded.append(QByteArray(4096 - padded.size() % 4096, '\0'));
    const QByteArray record =
        "printf 'PALINOR-ACCESS 1\\nLIGNES %d\\nE\\nT 5\\nALPHA\\nT 2\\n12\\nN\\nN\\nFIN 1\\n' ";
    const struct {
        QByteArray bytes, script;
        const char* reason;
    } cases[] = {
        {fixture("other-table.mdb"), {}, "il ne contient pas de table « nom »"},
        {fixture("catalog-usagemap-row32.mdb"), {}, "lecteur des fichiers Access s'est arrêté brutalement"},
        {cut, {}, "sa taille n'est pas un nombre entier de pages de 4096 octets"},
        {padded, {}, "une de ses lignes est illisible"},
        {jet3, {}, "c'est une base Access 97 (moteur Jet 3)"},
        {ace, {}, "c'est une base Access 2007 ou plus récente (moteur ACE)"},
        {empty, "sleep 30", "sa lecture a duré plus de 0 secondes"},
        {empty, "echo garbage", "n'a pas donné de réponse lisible"},
        {empty, "kill -SEGV $$", "s'est arrêté brutalement"},
        // A row fewer than the table says it holds, as libmdb gives on a cut file.
        {empty, record + "2", "seules 1 de ses 2 lignes"},
        {empty, record + "1; exit 3", "n'a pas donné de réponse lisible"},
        {empty, "printf 'PALINOR-ACCESS 1\\nLIGNES 1\\nE\\nT 9\\nALPHA\\n'",
         "n'a pas donné de réponse lisible"},
        {empty, "absent", "est introuvable"},
    };
    for (const auto& [bytes, script, reason] : cases) {
#ifdef _WIN32
        // Windows reads through its own driver, whose reasons for a damaged file are its own.
        const bool shell = !script.isEmpty() && script != "absent",
                   damaged = bytes == padded || bytes == fixture("catalog-usagemap-row32.mdb");
        if (shell || damaged) {
            skipCase(reason,
                     shell ? "a reader made as a shell script needs a shell" : "the driver's own reason");
            continue;
        }
#endif
        OldFile(bytes, script).refused(QString::fromUtf8(reason));
    }
#ifdef _WIN32
    return skipCase("a folder that cannot be written", "Windows has no other user to become");
#else
    // Root writes into any folder: the import runs as nobody, in a folder it may read but not write.
    OldFile old(fixture("billard.mdb"));
    QFile::setPermissions(old.folder.path(), QFileDevice::Permissions(0x5555));
    QFile::setPermissions(old.path, QFileDevice::Permissions(0x6644));
    ASSERT_TRUE(asNobody([&] { old.refused("le nouveau fichier n'a pas pu être créé dans son dossier"); }));
#endif
}

TEST(AccessImport, LandsWholeWhateverStopsItAndNeverTwiceNorThroughWhatLiesBeside)
{
    // A private file with a leftover journal beside it: the import is as private, and never rolls it in.
    OldFile secret(fixture("billard.mdb"));
    ASSERT_TRUE(QFile::setPermissions(secret.path, QFile::ReadOwner | QFile::WriteOwner) &&
                writeFile(secret.path + "-journal", "reste"));
    const AccessImport imported = secret.import();
    EXPECT_TRUE(secret.rows().size() == 14 &&
                identityOf(secret.path)->mode == identityOf(imported.keptAs)->mode &&
                contents(secret.folder.filePath("billard-ancien.mdb-journal")) == "reste" &&
                importMessage(imported).contains("mis de côté sous le nom"));
#ifdef _WIN32
    return skipCase("kills, two copies at once, a full disk", "no fork, signals or mount on Windows");
#else
    // Killed after each step in turn: billard.mdb is the old file or the whole import, and the next start
    // keeps it so.
    for (int step = 1;; ++step) {
        OldFile old(fixture("billard.mdb"));
        const int status =
            Child([&](int) {
                int done = 0;
                importAccessFile(old.path, old.reader, 10000, [&] { ++done == step ? ::raise(SIGKILL) : 0; });
                return 0;
            }).end();
        ASSERT_FALSE(ScoreDatabase(old.path).createIfMissing());
        const bool imported = old.rows().size() == 14;
        EXPECT_TRUE(imported ? contents(old.folder.filePath("billard-ancien.mdb")) == old.bytes
                             : contents(old.path) == old.bytes)
            << step;
        if (!WIFSIGNALED(status)) {
            EXPECT_TRUE(imported && step > 3);
            break;
        }
    }
    // Two copies at once: the second waits for the first, then uses its result.
    OldFile race(fixture("billard.mdb"));
    Child first([&](int out) {
        sigset_t go{};
        sigaddset(&go, SIGUSR1);
        sigprocmask(SIG_BLOCK, &go, nullptr);
        int got = 0, steps = 0;
        importAccessFile(race.path, race.reader, 10000,
                         [&] { ++steps == 1 ? say(out, "written\n"), sigwait(&go, &got) : 0; });
        return 0;
    });
    ASSERT_EQ(first.line(20000), "written");
    Child second([&](int out) { return say(out, race.import().byAnotherCopy ? "other\n" : "own\n"), 0; });
    EXPECT_FALSE(second.line(300)) << "the first copy holds the old file";
    first.end(SIGUSR1);
    EXPECT_TRUE(second.line(20000) == "other" && race.rows().size() == 14 &&
                entries(race.folder.path()) == QStringList({"billard-ancien.mdb", "billard.mdb"}));
    // The disk fills up as the new file is written: said so, without naming the temporary file. Only root may
    // mount a small file system.
    const QByteArray script = "#!/bin/sh\necho 'PALINOR-ACCESS 1\nLIGNES 3000'; for i in $(seq 3000); do "
                              "printf 'E\\nT 5\\nALPHA\\nT 1\\n1\\nN\\nN\\n'; done; echo 'FIN 3000'\n";
    OldFile big(fixture("empty.mdb"), script);
    if (::mount("tmpfs", QFile::encodeName(big.folder.path()), "tmpfs", 0, "size=128k") == 0) {
        const auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(big.folder.path()), MNT_DETACH); });
        ASSERT_TRUE(writeFile(big.path, big.bytes) && writeFile(big.reader, script) &&
                    ::chmod(QFile::encodeName(big.reader), 0700) == 0);
        const QString said = told(big.import().error);
        EXPECT_TRUE(said.contains("(le disque est plein)") && !said.contains(".tmp")) << said;
    }
#endif
}

} // namespace
