#pragma once
// The main of a benchmark program that needs a QApplication: offscreen unless a platform is named.

#include <QApplication>
#include <benchmark/benchmark.h>

namespace palinor::bench {

/* setUp runs once the application exists, before the benchmarks. */
template <typename SetUp> int runQtBenchmarks(int argc, char** argv, SetUp setUp)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    setUp(app);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace palinor::bench
