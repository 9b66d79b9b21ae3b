// The whole graph redraw (GraphAllView) of the main window over a diary of
// ten years, with a 31-day and a 10-year window, and with the trend and goal
// lines over the 10-year window; the read-out of the day under the pointer
// with the trend on; the list window opened over a year of it in
// each display mode; and the weekly summary of the ten years.
#include "programfolder.h"
#include "summaries.h"
#include "mainwindow.h"
#include "recordlistdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Program
{
    QTemporaryDir folder;
    std::unique_ptr<MainWindow> window;

    Program()
    {
        makeProgramFolder(folder.path(), 3650, 3650);
        window = std::make_unique<MainWindow>(folder.path() + u'/');
        window->show();
    }

    void setWindow(QDate start, QDate end)
    {
        window->findChild<QDateEdit *>("Dt_Grph_StartD")->setDate(start);
        window->findChild<QDateEdit *>("Dt_Grph_EndD")->setDate(end);
    }
};

// Made on first use and gone before the application object is.
std::unique_ptr<Program> instance;

Program &program()
{
    if (!instance)
        instance = std::make_unique<Program>();
    return *instance;
}

void BM_GraphAllView(benchmark::State &state)
{
    const int days = int(state.range(0));
    program().setWindow(QDate(2019, 12, 31).addDays(1 - days), QDate(2019, 12, 31));
    for (auto _ : state)
        program().window->GraphAllView();
    state.counters["captions"] = double(program().window->graph().dateCaptions.size());
}
BENCHMARK(BM_GraphAllView)->Arg(31)->Arg(3650)->Unit(benchmark::kMillisecond);

// The same redraw with the trend tab's trend and goal lines switched on.
void BM_GraphAllViewTrend(benchmark::State &state)
{
    const int days = int(state.range(0));
    program().setWindow(QDate(2019, 12, 31).addDays(1 - days), QDate(2019, 12, 31));
    auto *trend = program().window->findChild<QCheckBox *>("ChkBx_Trend");
    auto *goals = program().window->findChild<QCheckBox *>("ChkBx_GoalLines");
    trend->setChecked(true);
    goals->setChecked(true);
    for (auto _ : state)
        program().window->GraphAllView();
    state.counters["trend_days"] = double(program().window->graph().weightTrend.size());
    trend->setChecked(false);
    goals->setChecked(false);
}
BENCHMARK(BM_GraphAllViewTrend)->Arg(3650)->Unit(benchmark::kMillisecond);

// What each pointer move over the graph costs: the read-out of the day under
// it, ten years drawn with the trend on.
void BM_ReadOut(benchmark::State &state)
{
    program().setWindow(QDate(2010, 1, 1), QDate(2019, 12, 31));
    auto *trend = program().window->findChild<QCheckBox *>("ChkBx_Trend");
    trend->setChecked(true);
    program().window->GraphAllView();
    const QPoint middle(GraphWidth / 2, GraphHeight / 2);
    QString text;
    for (auto _ : state) {
        text = program().window->graphReadOut(middle);
        benchmark::DoNotOptimize(text.data());
    }
    if (!text.contains(QStringLiteral("トレンド")))
        state.SkipWithError("the read-out showed no trend");
    trend->setChecked(false);
}
BENCHMARK(BM_ReadOut)->Unit(benchmark::kMicrosecond);

void BM_WeeklySummary(benchmark::State &state)
{
    const DiaryTable &diary = program().window->core().diary();
    for (auto _ : state) {
        const auto weeks = summarise(diary, SummaryPeriod::Week, QDate(2010, 1, 1), QDate(2019, 12, 31));
        benchmark::DoNotOptimize(weeks.data());
    }
    state.counters["weeks"] =
        double(summarise(diary, SummaryPeriod::Week, QDate(2010, 1, 1), QDate(2019, 12, 31)).size());
}
BENCHMARK(BM_WeeklySummary)->Unit(benchmark::kMillisecond);

void BM_ListOpen(benchmark::State &state)
{
    const auto mode = RecordListDialog::Mode(state.range(0));
    for (auto _ : state) {
        RecordListDialog list(&program().window->core().diary(), QDate(2019, 1, 1), QDate(2019, 12, 31),
                              program().window->core().paths().PictureDir);
        if (mode != RecordListDialog::OneLine)
            list.DataToStrGrd(mode);
        list.show();
        list.repaint();
    }
}
BENCHMARK(BM_ListOpen)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    instance.reset();
    return 0;
}
