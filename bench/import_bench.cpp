// Importing the older program's Access 2000 score file. The goal: a 2,000-record file imported in under 1 s.
//
// The one 2,000-record Access file there is was cut short on purpose, and the import refuses it before
// reading. The import of 2,000 records is therefore measured in its two halves, each against the whole goal:
// the real reader decoding that file's 2,000 rows (it stops at the cut, after all the work), and the rest of
// the import (reading the reader's answer, writing the new file, the two renames) with a stand-in that gives
// 2,000 records as the reader gives them.

#include "QtBenchmarkMain.h"
#include "data/AccessImport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace palinor;

namespace {

const QString kFixtures = QStringLiteral(PALINOR_ACCESS_FIXTURES);
QTemporaryDir* work = nullptr;

QString fresh(const char* fixture)
{
    const QString path = work->filePath("billard.mdb");
    for (const QString& name : QDir(work->path()).entryList({"billard*"}, QDir::Files)) {
        QFile::remove(work->filePath(name));
    }
    QFile::copy(kFixtures + "/" + fixture, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

// The reader's answer for 2,000 records, replayed from a file.
QString replayingReader()
{
    QByteArray answer = "PALINOR-ACCESS 1\nLIGNES 2000\n";
    for (int i = 1; i <= 2000; ++i) {
        const QByteArray name = "JOUEUR " + QByteArray::number(i).rightJustified(4, '0');
        answer += "E\nT " + QByteArray::number(name.size()) + "\n" + name + "\nT 3\n" +
                  QByteArray::number(i % 149).rightJustified(3, '0') + "\nN\nN\n";
    }
    answer += "FIN 2000\n";
    QFile out(work->filePath("answer"));
    out.open(QIODevice::WriteOnly);
    out.write(answer);
    QFile script(work->filePath("reader.sh"));
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\nexec cat '" + out.fileName().toUtf8() + "'\n");
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script.fileName();
}

void BM_ImportFixture(benchmark::State& run)
{
    for (auto _ : run) {
        run.PauseTiming();
        const QString path = fresh("billard.mdb");
        run.ResumeTiming();
        const AccessImport done = importAccessFile(path, accessReaderPath());
        if (done.error || done.imported != 14) {
            run.SkipWithError("the fixture was not imported");
        }
    }
    run.SetLabel("the 14-record fixture, whole");
}

void BM_Import2000RowsReading(benchmark::State& run)
{
    const QString path = fresh("players-2000-trunc-190416.mdb");
    for (auto _ : run) {
        const AccessReading reading = readAccessFile(path, accessReaderPath());
        benchmark::DoNotOptimize(reading.records.size());
    }
    run.SetLabel("2,000 rows decoded by the reader");
}

void BM_Import2000RecordsWriting(benchmark::State& run)
{
    const QString reader = replayingReader();
    for (auto _ : run) {
        run.PauseTiming();
        const QString path = fresh("empty.mdb");
        run.ResumeTiming();
        const AccessImport done = importAccessFile(path, reader);
        if (done.error || done.imported != 2000) {
            run.SkipWithError("the 2,000 records were not imported");
        }
    }
    run.SetLabel("2,000 records read back, written, renamed");
}

} // namespace

BENCHMARK(BM_ImportFixture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import2000RowsReading)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import2000RecordsWriting)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return palinor::bench::runQtBenchmarks(argc, argv, [](QApplication&) {
        static QTemporaryDir folder;
        work = &folder;
    });
}
