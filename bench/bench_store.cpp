// Speed and memory of the diary store, beside an independent reader (xlrd)
// doing the same work on the same file in the same run.
//   bench_store [google benchmark options]
//   bench_store --peak-memory FILE   loads FILE and prints the peak resident set in kB
#include "datetext.h"
#include "diarybook.h"
#include "newworkbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// A diary of the given length as years of use leave it: every day weighed,
// most days with both comments.
QString diaryFile(int days)
{
    const QString path = workDir().filePath(QStringLiteral("diary-%1.xls").arg(days));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(newDiaryWorkbook(QStringLiteral("St_Trimbo")));
    file.close();
    std::vector<DayValues> rows;
    rows.reserve(size_t(days));
    for (int i = 0; i < days; ++i) {
        rows.push_back({dateText(QDate(1850, 1, 1).addDays(i)), QString::number(60 + (i % 100) / 10.0),
                        QString::number(20 + (i % 50) / 10.0), i % 3, (i + 1) % 3,
                        QStringLiteral("朝はパン、昼はうどん %1").arg(i), QStringLiteral("散歩 %1 分").arg(i % 90),
                        i % 7 == 0 ? dateText(QDate(1850, 1, 1).addDays(i)).remove(u'/') + ".bmp" : QString()});
    }
    if (!saveDays(path, rows, false).saved)
        std::abort();
    return path;
}

DiaryTable loadDiary(const QString &path)
{
    DiaryBook book(path);
    if (book.open())
        std::abort();
    book.firstEmptyRow();
    DiaryTable table = book.table();
    book.close();
    return table;
}

void BM_Load(benchmark::State &state)
{
    const QString path = diaryFile(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(loadDiary(path).rowCount());
}
BENCHMARK(BM_Load)->Arg(3650)->Arg(65535)->Arg(65536)->Unit(benchmark::kMillisecond);

// xlrd opening the same file and reading every cell, timed inside Python so
// that the interpreter's start-up does not count against it.
void BM_XlrdLoad(benchmark::State &state)
{
    const QString path = diaryFile(int(state.range(0)));
    const QString script = QStringLiteral("import sys, time, xlrd\n"
                                          "t = time.perf_counter()\n"
                                          "b = xlrd.open_workbook(sys.argv[1])\n"
                                          "s = b.sheet_by_name('St_Trimbo')\n"
                                          "n = sum(1 for r in range(s.nrows) for c in s.row_values(r))\n"
                                          "print(time.perf_counter() - t)\n");
    for (auto _ : state) {
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path});
        python.waitForFinished(-1);
        state.SetIterationTime(python.readAllStandardOutput().trimmed().toDouble());
    }
}
BENCHMARK(BM_XlrdLoad)->Arg(3650)->Arg(65535)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// One new day into a 3,650-day diary: read, written, sorted, reloaded and
// renamed into place.
void BM_SaveNewDay(benchmark::State &state)
{
    const QString original = diaryFile(3650);
    const QString path = workDir().filePath(QStringLiteral("save.xls"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        QFile::copy(original, path);
        state.ResumeTiming();
        const SaveDaysResult saved = saveDays(
            path, {{QStringLiteral("1851/06/01"), "61.5", "", 1, 1, QStringLiteral("新しい日"), "", ""}}, true);
        if (!saved.saved)
            std::abort();
    }
}
BENCHMARK(BM_SaveNewDay)->Unit(benchmark::kMillisecond);

long peakResidentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--peak-memory") {
        const long before = peakResidentKb();
        const int rows = loadDiary(QString::fromLocal8Bit(argv[2])).rowCount();
        std::printf("rows=%d peak_kB=%ld start_kB=%ld\n", rows, peakResidentKb(), before);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--make") {
        std::printf("%s\n", qPrintable(diaryFile(std::atoi(argv[2]))));
        workDir().setAutoRemove(false);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
