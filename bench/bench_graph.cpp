// The whole graph redraw (GraphAllView) of the main window over a diary of
// ten years, with a 31-day and a 10-year window.
#include "datetext.h"
#include "diarybook.h"
#include "newworkbook.h"
#include "tfrm_main.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

struct Program
{
    QTemporaryDir folder;
    std::unique_ptr<TFrm_Main> window;

    Program()
    {
        const QString dir = folder.path() + u'/';
        QFile ini(dir + "Trimbo.ini");
        ini.open(QIODevice::WriteOnly);
        ini.write("[Graph]\r\nWUpper=80\r\nWDown=55\r\nFUpper=35\r\nFDown=15\r\nGraphVis=2\r\n"
                  "StartD=2010/01/01\r\nEndD=2019/12/31\r\nLineClW=255\r\nLineClF=16711680\r\nBckGrnd=1\r\n"
                  "TrimboVis=1\r\n[Establish]\r\n");
        ini.close();
        QDir().mkpath(dir + "BkGrnd");
        QImage white(774, 312, QImage::Format_RGB32);
        white.fill(Qt::white);
        white.save(dir + "BkGrnd/White.bmp", "BMP");
        QFile book(dir + "Bk_Trimbo.xls");
        book.open(QIODevice::WriteOnly);
        book.write(newDiaryWorkbook("St_Trimbo"));
        book.close();
        std::vector<DayValues> days;
        for (int i = 0; i < 3650; ++i)
            days.push_back({dateText(QDate(2010, 1, 1).addDays(i)), QString::number(70 - i / 400.0 + std::sin(i / 9.0)),
                            QString::number(25 - i / 800.0), i % 3, (i + 1) % 3, "", "", ""});
        saveDays(dir + "Bk_Trimbo.xls", days, false);
        window = std::make_unique<TFrm_Main>(dir);
        window->show();
    }

    void setWindow(QDate start, QDate end)
    {
        window->findChild<QDateEdit *>("Dt_Grph_StartD")->setDate(start);
        window->findChild<QDateEdit *>("Dt_Grph_EndD")->setDate(end);
    }
};

Program &program()
{
    static Program instance;
    return instance;
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

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
