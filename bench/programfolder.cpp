#include "programfolder.h"

#include "datetext.h"
#include "diarybook.h"
#include "newworkbook.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <cmath>

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

void makeProgramFolder(const QString &folder, int days, int windowDays)
{
    const QString dir = folder + u'/';
    const QDate last(2019, 12, 31);
    write(dir + "Trimbo.ini",
          "[Graph]\r\nWUpper=80\r\nWDown=55\r\nFUpper=35\r\nFDown=15\r\nGraphVis=2\r\nStartD="
              + dateText(last.addDays(1 - windowDays)).toLatin1() + "\r\nEndD=" + dateText(last).toLatin1()
              + "\r\nLineClW=255\r\nLineClF=16711680\r\nBckGrnd=1\r\nTrimboVis=1\r\n"
                "[Establish]\r\nDStartD=2010/01/01\r\nDStartW=72\r\nDStartF=27\r\nGoalW=62\r\nGoalF=21\r\n");
    for (const char *sub : {"BkGrnd", "Picture", "BoxingGame", "Help"})
        QDir().mkpath(dir + sub);
    QImage white(774, 312, QImage::Format_RGB32);
    white.fill(Qt::white);
    white.save(dir + "BkGrnd/White.bmp", "BMP");
    write(dir + "Bk_Trimbo.xls", newDiaryWorkbook(QStringLiteral("St_Trimbo")));
    QImage photo(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 255 / 320, y * 255 / 240, 128));
    std::vector<DayValues> rows;
    for (int i = 0; i < days; ++i) {
        const QDate day = last.addDays(i - days + 1);
        // A photo a week over the last year.
        const bool photographed = day.daysTo(last) < 365 && i % 7 == 0;
        if (photographed)
            photo.save(dir + "Picture/" + day.toString(u"yyyyMMdd") + ".bmp", "BMP");
        rows.push_back({dateText(day), QString::number(70 - i / 400.0 + std::sin(i / 9.0), 'f', 1),
                        QString::number(25 - i / 800.0, 'f', 1), i % 3, (i + 1) % 3,
                        i % 5 ? QStringLiteral("朝はパン、昼はうどん %1").arg(i) : QString(),
                        QStringLiteral("散歩 %1 分").arg(i % 90),
                        photographed ? day.toString(u"yyyyMMdd") + ".bmp" : QString()});
    }
    if (days > 0 && !saveDays(dir + "Bk_Trimbo.xls", rows, false).saved)
        qFatal("cannot fill the diary");
}
