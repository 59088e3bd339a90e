// Importing the older program's Access 2000 score file: every record as stored, nothing changed on a refusal.

#include "DatabaseBuilders.h"
#include "data/AccessImport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace palinor;
using palinor::test::checksum;
using palinor::test::entries;
using palinor::test::sql;

namespace {

// A copy run as another user reads its fixtures from where the first run put them.
const QString kFixtures = qEnvironmentVariableIsSet("PALINOR_TEST_FIXTURES")
                              ? qEnvironmentVariable("PALINOR_TEST_FIXTURES")
                              : QStringLiteral(PALINOR_ACCESS_FIXTURES);

// A folder holding one fixture under the name billard.mdb.
struct OldFile {
    QTemporaryDir folder;
    QString path = folder.filePath("billard.mdb");

    explicit OldFile(const QString& fixture)
    {
        QFile::copy(kFixtures + "/" + fixture, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    AccessImport import(const QString& reader = accessReaderPath(), int timeoutMs = 10000) const
    {
        return importAccessFile(path, reader, timeoutMs);
    }
    // Each record with the type SQLite stored each field as.
    QStringList rows() const
    {
        return sql(path, "SELECT \"Nom Complet\", typeof(\"Nom Complet\"), Score, Score1, Score2 FROM nom "
                         "ORDER BY rowid");
    }
    // A stand-in for the reader: a shell script.
    QString reader(const QByteArray& script) const
    {
        const QString file = folder.filePath("reader.sh");
        test::writeFile(file, "#!/bin/sh\n" + script + "\n");
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file;
    }
};

} // namespace

TEST(AccessImport, EveryRecordComesAsStoredAndTheOldFileIsKeptUnchanged)
{
    OldFile old("billard.mdb");
    const AccessImport done = old.import();
    ASSERT_FALSE(done.error) << done.error->message.toStdString();
    EXPECT_EQ(done.imported, 14);
    EXPECT_EQ(done.unreadable, 0);
    EXPECT_EQ(done.keptAs, old.folder.filePath("billard-ancien.mdb"));
    EXPECT_EQ(checksum(done.keptAs), checksum(kFixtures + "/billard.mdb"));
    const QString longName = old.rows().value(10).section('|', 0, 0);
    EXPECT_EQ(longName.size(), 255);
    EXPECT_TRUE(longName.startsWith("LONG ") && longName.endsWith(u'É'));
    QStringList rows = old.rows();
    rows[10] = "LONG…|" + rows[10].section('|', 1);
    EXPECT_EQ(rows, (QStringList{"DUPONT JEAN|text|148|<null>|<null>",
                                 "ÉLODIE ÈVE|text|0|<null>|<null>",
                                 "FRANÇOIS|text|37|1|2",
                                 "ŒDIPE|text|12|<null>|<null>",
                                 "STRAßE|text|99|<null>|<null>",
                                 "<null>|null|50|<null>|<null>",
                                 "NOUVEAU JOUEUR|text|<null>|<null>|<null>",
                                 "NÉGATIF|text|-5|<null>|<null>",
                                 "TROP GRAND|text|300|<null>|<null>",
                                 "DUPONT JEAN|text|77|<null>|<null>",
                                 "LONG…|text|255|32767|-32768",
                                 "|text|1|<null>|<null>",
                                 "<null>|null|<null>|<null>|<null>",
                                 "€ ŠŽ Ÿ àéîõü|text|200|<null>|<null>"}));
    EXPECT_EQ(importMessage(done), "14 enregistrements ont été importés de l'ancien fichier des scores. L'ancien "
                                   "fichier est gardé tel quel sous le nom « " + done.keptAs + " ».");

    // The same old file brought back and imported again: the first copy kept stays where it is.
    QFile::copy(kFixtures + "/billard.mdb", old.path + ".new");
    QFile::remove(old.path);
    QFile::rename(old.path + ".new", old.path);
    EXPECT_EQ(old.import().keptAs, old.folder.filePath("billard-ancien-2.mdb"));
    EXPECT_EQ(entries(old.folder.path()),
              (QStringList{"billard-ancien-2.mdb", "billard-ancien.mdb", "billard.mdb"}));
}

TEST(AccessImport, CompressedTextsAndAnEmptyTable)
{
    OldFile text50("billard-text50.mdb");
    EXPECT_EQ(text50.import().imported, 4);
    EXPECT_EQ(text50.rows(), (QStringList{"DUPONT JEAN|text|148|<null>|<null>", "ÉLODIE ÈVE|text|0|<null>|<null>",
                                          "ŒDIPE|text|<null>|<null>|<null>", "<null>|null|-5|<null>|<null>"}));
    OldFile empty("empty.mdb");
    EXPECT_EQ(empty.import().imported, 0);
    EXPECT_EQ(empty.rows(), QStringList());
    EXPECT_EQ(sql(empty.path, "SELECT name FROM sqlite_master"), QStringList{"nom"});
}

TEST(AccessImport, ARefusedFileIsLeftAsItIsWithItsReason)
{
    const auto bytesOf = [](const char* fixture) {
        QFile file(kFixtures + "/" + fixture);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    };
    QByteArray jet3 = bytesOf("empty.mdb"), ace = jet3;
    jet3[0x14] = 0;
    ace.replace(4, 15, "Standard ACE DB");
    // The cut file made whole in size: the library would give its last rows as Nulls it made up.
    QByteArray padded = bytesOf("players-2000-trunc-190416.mdb");
    padded.append(QByteArray(4096 - padded.size() % 4096, '\0'));
    struct Case {
        const char* fixture;
        QByteArray bytes; // instead of the fixture, when given
        QString reason;
    };
    const QList<Case> cases{
        {"other-table.mdb", {}, "il ne contient pas de table « nom »"},
        {"catalog-usagemap-row32.mdb", {}, "le lecteur des fichiers Access s'est arrêté brutalement"},
        {"players-2000-trunc-190416.mdb", {}, "sa taille n'est pas un nombre entier de pages de 4096 octets"},
        {"players-2000-trunc-190416.mdb", padded, "une de ses lignes est illisible"},
        {"empty.mdb", jet3, "c'est une base Access 97 (moteur Jet 3)"},
        {"empty.mdb", ace, "c'est une base Access 2007 ou plus récente (moteur ACE)"},
    };
    for (const Case& c : cases) {
        OldFile old(c.fixture);
        if (!c.bytes.isEmpty()) {
            test::writeFile(old.path, c.bytes);
        }
        const QByteArray before = checksum(old.path);
        const AccessImport refused = old.import();
        ASSERT_TRUE(refused.error) << c.fixture;
        EXPECT_TRUE(refused.error->message.contains(c.reason)) << refused.error->message.toStdString();
        EXPECT_TRUE(refused.error->message.endsWith("Il reste tel quel, et rien n'a été modifié."));
        EXPECT_EQ(checksum(old.path), before);
        EXPECT_EQ(entries(old.folder.path()), QStringList{"billard.mdb"}) << c.fixture;
    }
}

TEST(AccessImport, TheReaderIsNotTrustedBlindly)
{
    const QByteArray record = "printf 'E\\nT 5\\nALPHA\\nT 2\\n12\\nN\\nN\\n'";
    struct Case {
        QByteArray script;
        QString reason; // empty: imported
    };
    const QList<Case> cases{
        {"sleep 30", "sa lecture a duré plus de 0 secondes"},
        {"echo garbage", "n'a pas donné de réponse lisible"},
        {"kill -SEGV $$", "s'est arrêté brutalement"},
        // A row fewer than the table says it holds, as libmdb gives on a cut file.
        {"printf 'PALINOR-ACCESS 1\\nLIGNES 2\\n'; " + record + "; printf 'FIN 1\\n'", "seules 1 de ses 2 lignes"},
        {"printf 'PALINOR-ACCESS 1\\nLIGNES 1\\n'; " + record + "; printf 'FIN 1\\n'; exit 3",
         "n'a pas donné de réponse lisible"},
        {"printf 'PALINOR-ACCESS 1\\nLIGNES 1\\nE\\nT 9\\nALPHA\\n'", "n'a pas donné de réponse lisible"},
        // Bytes that are not UTF-8 and a score that is not a number: counted, not imported.
        {"printf 'PALINOR-ACCESS 1\\nLIGNES 3\\n'; " + record +
             "; printf 'E\\nT 2\\n\\377\\376\\nN\\nN\\nN\\nE\\nT 1\\nB\\nT 3\\nabc\\nN\\nN\\nFIN 3\\n'",
         {}},
    };
    for (const Case& c : cases) {
        OldFile old("empty.mdb");
        const QByteArray before = checksum(old.path);
        const AccessImport done = old.import(old.reader(c.script), 500);
        if (c.reason.isEmpty()) {
            ASSERT_FALSE(done.error) << done.error->message.toStdString();
            EXPECT_EQ(done.imported, 1);
            EXPECT_EQ(done.unreadable, 2);
            EXPECT_EQ(old.rows(), QStringList{"ALPHA|text|12|<null>|<null>"});
            EXPECT_TRUE(importMessage(done).contains(" 2 enregistrements illisibles n'ont pas été importés."));
            continue;
        }
        ASSERT_TRUE(done.error) << c.script.toStdString();
        EXPECT_TRUE(done.error->message.contains(c.reason)) << done.error->message.toStdString();
        EXPECT_EQ(checksum(old.path), before);
        EXPECT_EQ(entries(old.folder.path()), (QStringList{"billard.mdb", "reader.sh"}));
    }
    OldFile old("empty.mdb");
    EXPECT_TRUE(old.import(old.folder.filePath("absent")).error->message.contains("est introuvable"));
}

TEST(AccessImport, AFolderThatCannotBeWrittenKeepsTheOldFile)
{
    // Root writes into any folder: the check runs as an ordinary user, from a copy that user can reach
    // wherever the build lies.
    if (geteuid() == 0) {
        QTemporaryDir shared;
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                          QFile::ExeOther;
        QFile::setPermissions(shared.path(), open);
        const QString self = shared.filePath("access_import_test");
        for (const auto& [from, to] : {std::pair{QCoreApplication::applicationFilePath(), self},
                                       std::pair{accessReaderPath(), shared.filePath("palinor-access-reader")},
                                       std::pair{kFixtures + "/billard.mdb", shared.filePath("billard.mdb")}}) {
            ASSERT_TRUE(QFile::copy(from, to));
            QFile::setPermissions(to, open);
        }
        QProcess again;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PALINOR_TEST_FIXTURES", shared.path());
        again.setProcessEnvironment(environment);
        again.setProcessChannelMode(QProcess::MergedChannels);
        again.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", self,
                                "--gtest_filter=AccessImport.AFolder*"});
        ASSERT_TRUE(again.waitForFinished(30000));
        const QByteArray said = again.readAll();
        EXPECT_EQ(again.exitCode(), 0) << said.toStdString();
        EXPECT_TRUE(said.contains("[  PASSED  ] 1 test.")) << said.toStdString();
        return;
    }
    OldFile old("billard.mdb");
    QFile::setPermissions(old.folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    const AccessImport refused = old.import();
    QFile::setPermissions(old.folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(refused.error);
    EXPECT_TRUE(refused.error->message.contains("le nouveau fichier n'a pas pu être créé dans son dossier"))
        << refused.error->message.toStdString();
    EXPECT_EQ(checksum(old.path), checksum(kFixtures + "/billard.mdb"));
    EXPECT_EQ(entries(old.folder.path()), QStringList{"billard.mdb"});
}

// Qt SQL loads its drivers only under a QCoreApplication.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
