#include "excelsamples.h"

#include "biff.h"
#include "compoundfile.h"
#include "independent.h"

#include <QFile>
#include <QTest>

using namespace biff;

namespace {

constexpr uint16_t BoundSheetId = 0x0085;
constexpr uint16_t ExtSstId = 0x00FF;
constexpr uint16_t IndexId = 0x020B;

QByteArray boundSheetData(const char *old, const QString &name)
{
    QByteArray data(old, 6); // stream position, visibility, sheet type
    const bool compressed = fitsCompressed(name);
    data.append(char(name.size()));
    data.append(char(compressed ? 0 : 1));
    if (compressed) {
        data.append(name.toLatin1());
    } else {
        for (QChar c : name)
            putU16(data, c.unicode());
    }
    return data;
}

QString boundSheetName(const Record &record)
{
    QByteArray name;
    putU16(name, uint8_t(record.data[6]));
    name.append(record.data + 7, record.size - 7);
    return readUnicodeString(name.constData(), int(name.size())).value_or(QString());
}

} // namespace

QString excelSamplePath(const QString &fileName)
{
    const QString path = QFINDTESTDATA(QStringLiteral("data/excel-samples/") + fileName);
    if (path.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("no sample %1").arg(fileName)), __FILE__, __LINE__);
    return path;
}

QByteArray streamWithSheetRenamed(const QByteArray &stream, const QString &from, const QString &to)
{
    // Where the renamed record lies and how much it grows.
    qsizetype renamedAt = -1;
    QByteArray renamed;
    RecordReader finder(stream);
    while (const std::optional<Record> record = finder.next()) {
        if (record->id == BoundSheetId && record->size >= 8 && boundSheetName(*record) == from) {
            renamedAt = record->offset;
            renamed = boundSheetData(record->data, to);
            break;
        }
        if (record->id == Eof) // the globals end: no such sheet
            return {};
    }
    if (renamedAt < 0)
        return {};
    const qsizetype shift = renamed.size() - u16(stream.constData() + renamedAt + 2);
    const auto moved = [&](QByteArray &data, qsizetype at) {
        const uint32_t position = u32(data.constData() + at);
        if (position > renamedAt)
            setU32(data, at, uint32_t(position + shift));
    };

    QByteArray out;
    qsizetype end = 0;
    RecordReader reader(stream);
    while (const std::optional<Record> record = reader.next()) {
        end = record->end();
        QByteArray data = record->offset == renamedAt ? renamed : QByteArray(record->data, record->size);
        if (record->id == BoundSheetId && record->size >= 4)
            moved(data, 0);
        if (record->id == ExtSstId) {
            for (qsizetype at = 2; at + 8 <= data.size(); at += 8)
                moved(data, at);
        }
        if (record->id == IndexId) {
            // Behind the row range: the DEFCOLWIDTH position, then one DBCELL position per block.
            for (qsizetype at = 12; at + 4 <= data.size(); at += 4)
                moved(data, at);
        }
        appendRecord(out, record->id, data);
    }
    out.append(stream.mid(end)); // any padding behind the last record
    return out;
}

void writeRenamedSample(const QString &samplePath, const QString &sheet, const QString &outPath, const QString &to)
{
    QFile sample(samplePath);
    QVERIFY2(sample.open(QIODevice::ReadOnly), qPrintable(samplePath));
    std::optional<CompoundEntry> container = readCompoundFile(sample.readAll());
    QVERIFY2(container, qPrintable(samplePath));
    CompoundEntry *workbook = container->findStream("Workbook");
    QVERIFY2(workbook, qPrintable(samplePath));
    workbook->data = streamWithSheetRenamed(workbook->data, sheet, to);
    QVERIFY2(!workbook->data.isEmpty(), qPrintable(QStringLiteral("%1 has no sheet %2").arg(samplePath, sheet)));
    const std::optional<QByteArray> bytes = writeCompoundFile(*container);
    QVERIFY(bytes);
    QFile out(outPath);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(out.write(*bytes), bytes->size());
    out.close();

    // An independent reader sees the sample itself, the name apart.
    QStringList expected = xlrdDump(samplePath);
    for (QString &line : expected) {
        if (line.startsWith(sheet + u'!'))
            line.replace(0, sheet.size(), to);
        else if (line.startsWith(QStringLiteral("sheet '%1' ").arg(sheet)))
            line.replace(7, sheet.size(), to);
    }
    QCOMPARE(xlrdDump(outPath), expected);
}
