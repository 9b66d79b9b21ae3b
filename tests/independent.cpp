#include "independent.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The program's output; a program that fails fails the running test, so
// that no check compares two empty readings and passes.
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString why = QStringLiteral("%1 %2 failed: %3")
                                .arg(program, arguments.join(u' '), QString::fromUtf8(process.readAllStandardError()));
        QTest::qFail(qPrintable(why), __FILE__, __LINE__);
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString diaryLine(int row, int column, QStringView kind, const QString &text)
{
    return QStringLiteral("%1,%2 %3 %4").arg(row).arg(column).arg(kind, text);
}

QString xmlEscaped(const QString &text)
{
    QString escaped = text.toHtmlEscaped();
    return escaped.replace(u'\n', QStringLiteral("&#10;")).replace(u'\r', QStringLiteral("&#13;"));
}

QString cellXml(const GnumericCell &cell)
{
    static const char *const types[] = {" ValueType=\"40\"", " ValueType=\"60\"", "",
                                        " ValueType=\"40\" ValueFormat=\"yyyy/mm/dd\""};
    QString type = QLatin1String(types[cell.kind]);
    if (!cell.format.isEmpty())
        type += QStringLiteral(" ValueFormat=\"%1\"").arg(xmlEscaped(cell.format));
    return QStringLiteral("<gnm:Cell Row=\"%1\" Col=\"%2\"%3>%4</gnm:Cell>\n")
        .arg(cell.row)
        .arg(cell.col)
        .arg(type, xmlEscaped(cell.value));
}

} // namespace

void writeWithGnumeric(const std::vector<GnumericSheet> &sheets, int selectedSheet, const QString &xlsPath)
{
    QString xml =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<gnm:Workbook xmlns:gnm=\"http://www.gnumeric.org/v10.dtd\">\n<gnm:SheetNameIndex>\n");
    for (const GnumericSheet &sheet : sheets)
        xml += QStringLiteral("<gnm:SheetName>%1</gnm:SheetName>\n").arg(xmlEscaped(sheet.name));
    xml += QStringLiteral("</gnm:SheetNameIndex>\n<gnm:Sheets>\n");
    for (const GnumericSheet &sheet : sheets) {
        xml += QStringLiteral("<gnm:Sheet><gnm:Name>%1</gnm:Name><gnm:Cells>\n").arg(xmlEscaped(sheet.name));
        for (const GnumericCell &cell : sheet.cells)
            xml += cellXml(cell);
        xml += QStringLiteral("</gnm:Cells></gnm:Sheet>\n");
    }
    xml += QStringLiteral("</gnm:Sheets>\n<gnm:UIData SelectedTab=\"%1\"/>\n</gnm:Workbook>\n").arg(selectedSheet);

    QTemporaryDir dir;
    QFile source(dir.filePath("source.gnumeric"));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write(xml.toUtf8());
    source.close();
    QFile::remove(xlsPath);
    run(QStringLiteral("ssconvert"),
        {QStringLiteral("--export-type=Gnumeric_Excel:excel_biff8"), source.fileName(), xlsPath});
    QVERIFY2(QFile::exists(xlsPath), "ssconvert wrote no workbook");
}

void writeGnumericDiaryWithCustomFormats(const QString &xlsPath)
{
    using C = GnumericCell;
    const QStringList formats{"0.0", "0.00\"%\"", "0\"段\"", "[Blue]0"};
    std::vector<GnumericCell> cells;
    const QStringList days[] = {{"40188", "74.5", "20.25", "1", "2"}, {"40189", "74", "20.5", "0", "1"}};
    for (int row = 0; row < 2; ++row) {
        cells.push_back({row, 0, C::Date, days[row][0]});
        for (int col = 1; col <= 4; ++col)
            cells.push_back({row, col, C::Number, days[row][col], formats[col - 1]});
    }
    writeWithGnumeric({{QStringLiteral("St_Trimbo"), cells}}, 0, xlsPath);
}

QStringList xlrdDump(const QString &xlsPath)
{
    // Debian's own python is the one that has python3-xlrd.
    const QString script = QFINDTESTDATA("xlsdump.py");
    return run(QStringLiteral("/usr/bin/python3"), {script, xlsPath}).split(u'\n', Qt::SkipEmptyParts);
}

QString gnumericCsv(const QString &xlsPath, const QString &sheet)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath("out.csv");
    run(QStringLiteral("ssconvert"),
        {QStringLiteral("--export-type=Gnumeric_stf:stf_csv"),
         QStringLiteral("--export-options=sheet=\"%1\"")
             .arg(QString(sheet).replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""))),
         xlsPath, csv});
    QFile file(csv);
    if (!file.open(QIODevice::ReadOnly)) {
        QTest::qFail("ssconvert wrote no CSV", __FILE__, __LINE__);
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

XlrdDiary xlrdDiary(const QString &xlsPath, const QString &sheet)
{
    const QString script = QFINDTESTDATA("xlsdiary.py");
    const QString json = run(QStringLiteral("/usr/bin/python3"), {script, xlsPath, sheet});
    const QJsonObject read = QJsonDocument::fromJson(json.toUtf8()).object();
    XlrdDiary diary;
    const QJsonArray rows = read[u"rows"].toArray();
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QJsonArray cells = rows[r].toArray();
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QJsonArray cell = cells[c].toArray();
            if (cell[0].toString() == u"empty")
                continue;
            diary.cells.append(diaryLine(int(r + 1), int(c + 1), cell[0].toString(), cell[1].toString()));
            diary.formats.append(QStringLiteral("%1,%2 %3%4")
                                     .arg(r + 1)
                                     .arg(c + 1)
                                     .arg(cell[2].toString(), cell[3].toBool() ? QStringLiteral(" wraps") : QString()));
        }
    }
    for (const QJsonValue height : read[u"heights"].toArray())
        diary.heights.push_back(height.isNull() ? -1 : height.toInt());
    diary.defaultHeight = read[u"defaultHeight"].toInt(-1);
    return diary;
}

QStringList diaryLines(const DiaryTable &table)
{
    static const QStringView kinds[] = {u"empty", u"date", u"number", u"text"};
    QStringList lines;
    for (int row = 1; row < table.firstEmptyRow(); ++row) {
        for (const DiaryColumn column : diaryColumns) {
            const CellValue &cell = table.cell(row, column);
            if (!cell.isEmpty())
                lines.append(diaryLine(row, columnIndex(column) + 1, kinds[int(cell.kind())], cell.toText()));
        }
    }
    return lines;
}

QStringList anchoredOnCells(const QString &xlsPath, const QString &sheet)
{
    const QString script = QFINDTESTDATA("xlsattached.py");
    return run(QStringLiteral("/usr/bin/python3"), {script, xlsPath, sheet}).split(u'\n', Qt::SkipEmptyParts);
}
