// Diaries in workbooks that Microsoft Excel wrote: each sample, with one of
// its worksheets renamed St_Trimbo, read and saved as a diary.
#include "diarybook.h"
#include "excelsamples.h"
#include "independent.h"

#include <QTemporaryDir>
#include <QTest>

class TestExcelSamples : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void variantReadsAsXlrdReadsIt_data();
    void variantReadsAsXlrdReadsIt();

private:
    QTemporaryDir m_dir;
};

namespace {

// Every sample, with the worksheet that becomes the diary.
void sampleRows()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::newRow("Japanese text, empty top rows") << "poi-12561-1.xls" << QStringLiteral("作業リスト");
    QTest::newRow("1904 dates, XF extensions") << "sheetjs-1904.xls" << "Sheet1";
    QTest::newRow("hyperlinks on column A") << "sheetjs-hyperlink_stress_test_2011.xls" << "Sheet1";
    QTest::newRow("names, an empty sheet") << "xlrd-namesdemo.xls" << "Sheet2";
    QTest::newRow("phonetic guides") << "sheetjs-phonetic_text.xls" << "Sheet1";
    QTest::newRow("charts over another sheet") << "poi-WithThreeCharts.xls" << "Sheet2";
    QTest::newRow("1904 dates in a row") << "libxls-dates-1904.xls" << "Sheet1";
    QTest::newRow("1904 dates and formulas") << "phpss_1904_Calendar.xls" << "Sheet1";
    QTest::newRow("notes, links, a picture") << "phpss_30template.xls" << "Invoice";
}

} // namespace

void TestExcelSamples::variantReadsAsXlrdReadsIt_data()
{
    sampleRows();
}

void TestExcelSamples::variantReadsAsXlrdReadsIt()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    const QString path = m_dir.filePath(file);
    writeRenamedSample(excelSamplePath(file), sheet, path);
    if (QTest::currentTestFailed())
        return;

    DiaryBook book(path);
    QVERIFY2(book.OpenExcelDate(), qPrintable(book.errorText()));
    book.GetExcelLastRow();
    QCOMPARE(diaryLines(book.SetExcelArray()), xlrdDiary(path, QStringLiteral("St_Trimbo")).cells);
}

QTEST_GUILESS_MAIN(TestExcelSamples)
#include "tst_excelsamples.moc"
