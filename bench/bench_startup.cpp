// Start-up time, process start to the main window shown and filled, over
// an empty diary and over ten years of days.
#include "programfolder.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_StartUp(benchmark::State &state)
{
    QTemporaryDir folder;
    makeProgramFolder(folder.path(), int(state.range(0)), 31);
    const QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/startup_probe");
    for (auto _ : state) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(probe, {folder.path()});
        if (!process.waitForFinished(10000) || process.exitCode() != 0)
            state.SkipWithError("the program did not start");
    }
}
BENCHMARK(BM_StartUp)->Arg(0)->Arg(3650)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
