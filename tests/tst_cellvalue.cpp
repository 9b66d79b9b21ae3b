#include "cellvalue.h"
#include "datetext.h"
#include "diarytable.h"
#include "numbertext.h"

#include <QTest>

Q_DECLARE_METATYPE(CellValue)
Q_DECLARE_METATYPE(std::optional<double>)

class TestCellValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); } // a comma locale must not leak in

    void toText_data();
    void toText();
    void toReal_data();
    void toReal();
    void toInt_data();
    void toInt();
    void equalsDateText_data();
    void equalsDateText();
    void toDayNumber_data();
    void toDayNumber();

    void dayNumbers_data();
    void dayNumbers();
    void parseDateText_data();
    void parseDateText();
    void generalNumberText_data();
    void generalNumberText();

    void rowsAndDates();
};

void TestCellValue::toText_data()
{
    QTest::addColumn<CellValue>("cell");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << CellValue() << "";
    QTest::newRow("date") << CellValue::date(40207) << "2010/01/29";
    QTest::newRow("date with a time of day") << CellValue::date(40207.75) << "2010/01/29";
    QTest::newRow("fraction") << CellValue::number(65.5) << "65.5";
    QTest::newRow("whole number") << CellValue::number(65) << "65";
    QTest::newRow("binary noise hidden") << CellValue::number(60.25 + 0.1) << "60.35";
    QTest::newRow("negative") << CellValue::number(-0.5) << "-0.5";
    QTest::newRow("text with line breaks") << CellValue::text("朝\r\n昼") << "朝\r\n昼";
}

void TestCellValue::toText()
{
    QFETCH(CellValue, cell);
    QFETCH(QString, text);
    QCOMPARE(cell.toText(), text);
}

void TestCellValue::toReal_data()
{
    QTest::addColumn<CellValue>("cell");
    QTest::addColumn<std::optional<double>>("real");
    QTest::newRow("empty is 0") << CellValue() << std::optional(0.0);
    QTest::newRow("date gives its day number") << CellValue::date(40207.25) << std::optional(40207.25);
    QTest::newRow("number") << CellValue::number(21.3) << std::optional(21.3);
    QTest::newRow("number text") << CellValue::text(" 72.5 ") << std::optional(72.5);
    QTest::newRow("comma is no decimal point") << CellValue::text("72,5") << std::optional<double>();
    QTest::newRow("words") << CellValue::text("abc") << std::optional<double>();
    QTest::newRow("empty text") << CellValue::text("") << std::optional<double>();
}

void TestCellValue::toReal()
{
    QFETCH(CellValue, cell);
    QFETCH(std::optional<double>, real);
    QCOMPARE(cell.toReal(), real);
}

void TestCellValue::toInt_data()
{
    QTest::addColumn<CellValue>("cell");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("valid");
    QTest::newRow("whole number") << CellValue::number(2) << 2 << true;
    QTest::newRow("rounds") << CellValue::number(0.9999999) << 1 << true;
    QTest::newRow("digit text") << CellValue::text("1") << 1 << true;
    QTest::newRow("empty") << CellValue() << 0 << true;
    QTest::newRow("words") << CellValue::text("多い") << 0 << false;
    QTest::newRow("too large") << CellValue::number(1e12) << 0 << false;
}

void TestCellValue::toInt()
{
    QFETCH(CellValue, cell);
    QFETCH(int, value);
    QFETCH(bool, valid);
    const std::optional<int> result = cell.toInt();
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, value);
}

void TestCellValue::equalsDateText_data()
{
    QTest::addColumn<CellValue>("cell");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("equal");
    QTest::newRow("date, same day") << CellValue::date(40207) << "2010/01/29" << true;
    QTest::newRow("date, next day") << CellValue::date(40208) << "2010/01/29" << false;
    QTest::newRow("date, day before") << CellValue::date(40206) << "2010/01/29" << false;
    QTest::newRow("date with time, same day") << CellValue::date(40207.9) << "2010/01/29" << true;
    QTest::newRow("text, identical") << CellValue::text("2010/01/29") << "2010/01/29" << true;
    QTest::newRow("text, same day spelt otherwise") << CellValue::text("2010/1/29") << "2010/01/29" << false;
    QTest::newRow("bare day number") << CellValue::number(40207) << "2010/01/29" << true;
    QTest::newRow("empty") << CellValue() << "2010/01/29" << false;
    QTest::newRow("date against a non-date") << CellValue::date(40207) << "not a date" << false;
}

void TestCellValue::equalsDateText()
{
    QFETCH(CellValue, cell);
    QFETCH(QString, text);
    QFETCH(bool, equal);
    QCOMPARE(cell.equalsDateText(text), equal);
}

void TestCellValue::toDayNumber_data()
{
    QTest::addColumn<CellValue>("cell");
    QTest::addColumn<std::optional<double>>("day");
    QTest::newRow("date") << CellValue::date(40207.5) << std::optional(40207.5);
    QTest::newRow("bare day number") << CellValue::number(40207) << std::optional(40207.0);
    QTest::newRow("date as text") << CellValue::text("2010/01/29") << std::optional(40207.0);
    QTest::newRow("other text") << CellValue::text("yesterday") << std::optional<double>();
    QTest::newRow("empty") << CellValue() << std::optional<double>();
}

void TestCellValue::toDayNumber()
{
    QFETCH(CellValue, cell);
    QFETCH(std::optional<double>, day);
    QCOMPARE(cell.toDayNumber(), day);
}

void TestCellValue::dayNumbers_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<double>("dayNumber");
    QTest::newRow("epoch") << QDate(1899, 12, 30) << 0.0;
    QTest::newRow("1 March 1900") << QDate(1900, 3, 1) << 61.0;
    QTest::newRow("8 April 1900") << QDate(1900, 4, 8) << 99.0;
    QTest::newRow("29 January 2010") << QDate(2010, 1, 29) << 40207.0;
    QTest::newRow("leap day 2024") << QDate(2024, 2, 29) << 45351.0;
}

void TestCellValue::dayNumbers()
{
    QFETCH(QDate, date);
    QFETCH(double, dayNumber);
    QCOMPARE(oleDayNumber(date), dayNumber);
    QCOMPARE(dateFromOleDayNumber(dayNumber), date);
    QCOMPARE(dateFromOleDayNumber(dayNumber + 0.999), date);
}

void TestCellValue::parseDateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: not a date
    QTest::newRow("full form") << "2010/01/29" << QDate(2010, 1, 29);
    QTest::newRow("one-digit month and day") << "2010/1/5" << QDate(2010, 1, 5);
    QTest::newRow("blanks around") << " 2010/01/29 " << QDate(2010, 1, 29);
    QTest::newRow("day 99 is a date like any other") << "1900/04/08" << QDate(1900, 4, 8);
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("dashes") << "2010-01-29" << QDate();
    QTest::newRow("no such day") << "2010/02/30" << QDate();
    QTest::newRow("two-digit year") << "10/01/29" << QDate();
    QTest::newRow("trailing words") << "2010/01/29x" << QDate();
}

void TestCellValue::parseDateText()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(::parseDateText(text).value_or(QDate()), date);
    if (date.isValid())
        QCOMPARE(::parseDateText(dateText(date)), date);
}

void TestCellValue::generalNumberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("step up from whole") << 60.0 + 0.1 << "60.1";
    QTest::newRow("step up from hundredths") << 60.25 + 0.1 << "60.35";
    QTest::newRow("step back down to whole") << 60.1 - 0.1 << "60";
    QTest::newRow("fifteen digits kept") << 1.23456789012345 << "1.23456789012345";
    QTest::newRow("sixteenth digit dropped") << 1.234567890123456 << "1.23456789012346";
    QTest::newRow("zero") << 0.0 << "0";
}

void TestCellValue::generalNumberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(::generalNumberText(value), text);
}

static DiaryRow dayRow(double dayNumber)
{
    DiaryRow row;
    row[columnIndex(DiaryColumn::Date)] = CellValue::date(dayNumber);
    return row;
}

// The row after the last day, and of two rows of one date the upper.
void TestCellValue::rowsAndDates()
{
    QCOMPARE(DiaryTable().firstEmptyRow(), 0);
    QCOMPARE(DiaryTable().findDate(u"2010/01/29"), 0);
    DiaryRow upper = dayRow(40208);
    upper[columnIndex(DiaryColumn::Weight)] = CellValue::number(65);
    DiaryRow lower = dayRow(40208);
    lower[columnIndex(DiaryColumn::Weight)] = CellValue::number(66);
    const DiaryTable table({dayRow(40207), upper, lower});
    QCOMPARE(table.firstEmptyRow(), 4);
    QCOMPARE(table.cell(1, DiaryColumn::Date).toText(), QString("2010/01/29"));
    QVERIFY(table.cell(1, DiaryColumn::Photo).isEmpty());
    QCOMPARE(table.findDate(u"2010/01/30"), 2);
    QCOMPARE(table.findDate(u"2010/01/29"), 1);
    QCOMPARE(table.findDate(u"2010/01/31"), 0);
}

QTEST_GUILESS_MAIN(TestCellValue)
#include "tst_cellvalue.moc"
