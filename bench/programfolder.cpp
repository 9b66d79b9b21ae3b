#include "programfolder.h"

#include "datetext.h"
#include "diarybook.h"
#include "programfixture.h"

#include <QDir>
#include <QImage>
#include <cmath>

void makeProgramFolder(const QString &folder, int days, int windowDays)
{
    const QString dir = folder + u'/';
    const QDate last(2019, 12, 31);
    SettingsFields settings;
    settings.graph = {QStringLiteral("80"),
                      QStringLiteral("55"),
                      QStringLiteral("35"),
                      QStringLiteral("15"),
                      2,
                      dateText(last.addDays(1 - windowDays)),
                      dateText(last),
                      255,
                      16711680,
                      1,
                      1};
    settings.establish = {QStringLiteral("2010/01/01"), QStringLiteral("72"), QStringLiteral("27"),
                          QStringLiteral("62"), QStringLiteral("21")};
    layOutFixtureFolder(dir, settings);
    QDir().mkpath(dir + "Help");
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
