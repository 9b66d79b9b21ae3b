#include "cellvalue.h"
#include "datetext.h"

#include <QTest>

// What a cell gives each of its readers; jan29: whether it holds the day 2010/01/29.
struct Reading
{
    CellValue cell;
    QString text;
    std::optional<double> real;
    std::optional<int> whole;
    std::optional<double> day;
    bool jan29 = false;
};

Q_DECLARE_METATYPE(Reading)

class TestCellValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); } // a comma locale must not leak in
    void readings_data();
    void readings();
    void dateTexts();
};

void TestCellValue::readings_data()
{
    QTest::addColumn<Reading>("r");
    const std::nullopt_t no = std::nullopt;
    using C = CellValue;
    QTest::newRow("empty") << Reading{C(), "", 0.0, 0, no};
    QTest::newRow("date") << Reading{C::date(40207), "2010/01/29", 40207.0, 40207, 40207.0, true};
    QTest::newRow("date and time") << Reading{C::date(40207.75), "2010/01/29", 40207.75, 40208, 40207.75, true};
    QTest::newRow("end of the day before") << Reading{C::date(40206.99), "2010/01/28", 40206.99, 40207, 40206.99};
    QTest::newRow("next day") << Reading{C::date(40208), "2010/01/30", 40208.0, 40208, 40208.0};
    QTest::newRow("bare day number") << Reading{C::number(40207), "40207", 40207.0, 40207, 40207.0, true};
    QTest::newRow("fraction") << Reading{C::number(65.5), "65.5", 65.5, 66, 65.5};
    QTest::newRow("binary noise hidden") << Reading{C::number(60.25 + 0.1), "60.35", 60.25 + 0.1, 60, 60.25 + 0.1};
    QTest::newRow("negative") << Reading{C::number(-0.5), "-0.5", -0.5, -1, -0.5};
    QTest::newRow("rounds") << Reading{C::number(0.9999999), "0.9999999", 0.9999999, 1, 0.9999999};
    QTest::newRow("too large for a level") << Reading{C::number(1e12), "1000000000000", 1e12, no, 1e12};
    QTest::newRow("fifteen digits") << Reading{C::number(1.23456789012345), "1.23456789012345", 1.23456789012345, 1,
                                               1.23456789012345};
    QTest::newRow("sixteen digits") << Reading{C::number(1.234567890123456), "1.23456789012346", 1.234567890123456, 1,
                                               1.234567890123456};
    QTest::newRow("step back to whole") << Reading{C::number(60.1 - 0.1), "60", 60.1 - 0.1, 60, 60.1 - 0.1};
    QTest::newRow("text with line breaks") << Reading{C::text("朝\r\n昼"), "朝\r\n昼", no, no, no};
    QTest::newRow("number text") << Reading{C::text(" 72.5 "), " 72.5 ", 72.5, 73, no};
    QTest::newRow("comma is no decimal point") << Reading{C::text("72,5"), "72,5", no, no, no};
    QTest::newRow("words") << Reading{C::text("多い"), "多い", no, no, no};
    QTest::newRow("empty text") << Reading{C::text(""), "", no, no, no};
    QTest::newRow("date text") << Reading{C::text("2010/01/29"), "2010/01/29", no, no, 40207.0, true};
    // Only the very text finds a text cell again.
    QTest::newRow("date text spelt otherwise") << Reading{C::text("2010/1/29"), "2010/1/29", no, no, 40207.0, false};
}

void TestCellValue::readings()
{
    QFETCH(Reading, r);
    QCOMPARE(r.cell.toText(), r.text);
    QCOMPARE(r.cell.toReal(), r.real);
    QCOMPARE(r.cell.toInt(), r.whole);
    QCOMPARE(r.cell.toDayNumber(), r.day);
    QCOMPARE(r.cell.equalsDateText(u"2010/01/29"), r.jan29);
    QVERIFY(!r.cell.equalsDateText(u"not a date"));
}

// Day 60 is 1900/02/29 only to Lotus: day 61 is 1 March, day 99 8 April, like any other days.
void TestCellValue::dateTexts()
{
    const std::pair<const char *, double> days[] = {{"1899/12/30", 0},      {"1900/03/01", 61},    {"1900/04/08", 99},
                                                    {"2010/01/29", 40207},  {"2024/02/29", 45351}, {"2010/1/5", 40183},
                                                    {" 2010/01/29 ", 40207}};
    for (const auto &[text, dayNumber] : days) {
        const std::optional<QDate> date = parseDateText(QString(text));
        QVERIFY2(date, text);
        QCOMPARE(oleDayNumber(*date), dayNumber);
        QCOMPARE(dateFromOleDayNumber(dayNumber), *date);
        QCOMPARE(dateFromOleDayNumber(dayNumber + 0.999), *date);
        QCOMPARE(parseDateText(dateText(*date)), date);
    }
    for (const char *text : {"", "2010-01-29", "2010/02/30", "10/01/29", "2010/01/29x"})
        QVERIFY2(!parseDateText(QString(text)), text);
}

QTEST_GUILESS_MAIN(TestCellValue)
#include "tst_cellvalue.moc"
