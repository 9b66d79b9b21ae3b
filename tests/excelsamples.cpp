#include "excelsamples.h"

#include "biff.h"
#include "independent.h"
#include "sst.h"

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

namespace {

bool isCellTableRecord(uint16_t id)
{
    return isCellRecord(id) || isAttachedRecord(id) || id == Row || id == DbCell || id == Index || id == Dimensions;
}

// What a sort moves with the days: notes, hyperlinks (and their tips) and the drawings that
// anchor note boxes (checked where the sort is tested).
bool movesWithDays(uint16_t id)
{
    return id == 0x001C || id == 0x01B8 || id == 0x0800 || id == 0x00EC; // NOTE, HLINK, HLINKTOOLTIP, MSODRAWING
}

QString recordLine(uint16_t id, QByteArrayView data)
{
    return QStringLiteral("%1: %2").arg(id, 4, 16, QChar(u'0')).arg(QString::fromLatin1(data.toByteArray().toHex()));
}

void collectStreams(const CompoundEntry &storage, const QByteArray &path, QMap<QByteArray, QByteArray> &streams)
{
    for (const CompoundEntry &child : storage.children) {
        const QByteArray childPath = path + '/' + child.name;
        if (child.isStorage)
            collectStreams(child, childPath, streams);
        else if (childPath != "/Workbook")
            streams.insert(childPath, child.data);
    }
}

} // namespace

std::optional<CompoundEntry> readWorkbookFile(const QString &xlsPath)
{
    QFile file(xlsPath);
    if (!file.open(QIODevice::ReadOnly)) {
        QTest::qFail(qPrintable(QStringLiteral("cannot read %1").arg(xlsPath)), __FILE__, __LINE__);
        return std::nullopt;
    }
    std::optional<CompoundEntry> container = readCompoundFile(file.readAll());
    if (!container || !container->findStream("Workbook")) {
        QTest::qFail(qPrintable(QStringLiteral("no workbook stream in %1").arg(xlsPath)), __FILE__, __LINE__);
        return std::nullopt;
    }
    return container;
}

WorkbookRecords workbookRecords(const QString &xlsPath, const QString &diarySheet)
{
    WorkbookRecords result;
    std::optional<CompoundEntry> container = readWorkbookFile(xlsPath);
    if (!container)
        return result;
    collectStreams(*container, {}, result.otherStreams);
    const QByteArray &stream = container->findStream("Workbook")->data;

    std::vector<Record> sst;
    std::vector<std::pair<QString, uint32_t>> sheets;
    QByteArray xfs;
    std::optional<Record> xfCrc;
    RecordReader globals(stream);
    bool inSst = false;
    while (const std::optional<Record> record = globals.next()) {
        inSst = record->id == Sst || (inSst && record->id == Continue);
        if (inSst) {
            sst.push_back(*record);
            continue;
        }
        QByteArrayView data(record->data, record->size);
        if (record->id == BoundSheet) {
            sheets.emplace_back(boundSheetName(*record), u32(record->data));
            data = data.sliced(4);
        }
        if (record->id == Xf)
            xfs.append(data.toByteArray());
        if (record->id == XfCrc)
            xfCrc = *record;
        else if (record->id != ExtSst)
            result.globals.append(recordLine(record->id, data));
        if (record->id == Eof)
            break;
    }
    result.xfCount = int(xfs.size() / 20);
    result.hasXfCrc = xfCrc && xfCrc->size >= 20;
    result.xfCrcMatches =
        result.hasXfCrc && u16(xfCrc->data + 14) == result.xfCount && u32(xfCrc->data + 16) == officeCrc(xfs);
    SharedStrings strings;
    if (!sst.empty() && !strings.parse(sst))
        QTest::qFail(qPrintable(QStringLiteral("damaged strings in %1").arg(xlsPath)), __FILE__, __LINE__);

    for (const auto &[name, start] : sheets) {
        QStringList &lines = result.sheets[name];
        RecordReader reader(stream, start);
        int depth = 0;
        while (const std::optional<Record> record = reader.next()) {
            const QByteArrayView data(record->data, record->size);
            if (record->id == Bof)
                ++depth;
            if (record->id == Index
                || (name == diarySheet && depth == 1 && (isCellTableRecord(record->id) || movesWithDays(record->id)))) {
                // positions, or the diary's cells and what moves with them
            } else if (record->id == LabelSst && record->size >= 10) {
                const SstEntry text = strings.entry(u32(record->data + 6));
                lines.append(recordLine(record->id, data.first(6))
                             + QStringLiteral(" %1 runs %2 phonetic %3")
                                   .arg(text.text, QString::fromLatin1(text.runs.toHex()),
                                        QString::fromLatin1(text.phonetic.toHex())));
            } else {
                lines.append(recordLine(record->id, data));
            }
            if (record->id == Eof && --depth == 0)
                break;
        }
    }
    return result;
}

QStringList insertedLines(const QStringList &before, const QStringList &after, const QStringList &allowedPrefixes)
{
    QStringList inserted;
    qsizetype b = 0;
    for (const QString &line : after) {
        if (b < before.size() && line == before[b]) {
            ++b;
            continue;
        }
        const bool allowed = std::any_of(allowedPrefixes.begin(), allowedPrefixes.end(),
                                         [&](const QString &prefix) { return line.startsWith(prefix); });
        if (!allowed) {
            const QString why =
                QStringLiteral("line %1 changed: %2, was %3")
                    .arg(b)
                    .arg(line.left(200), b < before.size() ? before[b].left(200) : QStringLiteral("nothing"));
            QTest::qFail(qPrintable(why), __FILE__, __LINE__);
            return inserted;
        }
        inserted.append(line);
    }
    if (b < before.size())
        QTest::qFail(qPrintable(QStringLiteral("line dropped: %1").arg(before[b].left(200))), __FILE__, __LINE__);
    return inserted;
}
