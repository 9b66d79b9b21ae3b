// libFuzzer target for the workbook reader: any bytes, as a compound file or
// as a bare workbook stream, must be read or refused without a crash, and
// whatever is read must be written back, with a new day on top of the
// others, into a stream that reads again and gives that day back.
#include "compoundfile.h"
#include "diarybook.h"
#include "workbook.h"

#include <cstdint>
#include <cstdlib>

namespace {

void exercise(const QByteArray &stream)
{
    const Workbook::ParseResult parsed = Workbook::parse(stream);
    if (!parsed.book)
        return;
    const int sheet = parsed.book->findSheet(DiarySheetName);
    if (sheet < 0)
        return;
    bool full = false;
    const int length = parsed.book->diaryLength(sheet, MaxDiaryRows, &full);
    parsed.book->diaryTable(sheet, length);
    std::vector<SheetRow> rows = parsed.book->diaryCells(sheet, length);
    SheetRow day = parsed.book->emptyRow();
    day[columnIndex(DiaryColumn::Date)].value = CellValue::date(40207);
    day[columnIndex(DiaryColumn::Date)].xf = parsed.book->dateXf();
    day[columnIndex(DiaryColumn::IntakeComment)].value =
        CellValue::text(QStringLiteral("fuzz\nwrapped")); // a format of its own that wraps
    // The day goes on top, as a sort puts an earlier day: every row below
    // moves down one, with its formulas, notes and links.
    rows.insert(rows.begin(), day);
    const Workbook::StreamResult written = parsed.book->toStream(sheet, rows);
    if (written.error)
        return;
    const Workbook::ParseResult again = Workbook::parse(written.stream);
    const int sheetAgain = again.book ? again.book->findSheet(DiarySheetName) : -1;
    if (sheetAgain < 0)
        std::abort(); // we wrote a stream we cannot read
    // The day written on top reads back where it was put, with its values.
    const DiaryTable table =
        again.book->diaryTable(sheetAgain, again.book->diaryLength(sheetAgain, MaxDiaryRows, &full));
    const int dayRow = 1;
    if (table.rowCount() < dayRow || !table.cell(dayRow, DiaryColumn::Date).equalsDateText(u"2010/01/29")
        || table.cell(dayRow, DiaryColumn::IntakeComment).toText() != QStringLiteral("fuzz\nwrapped"))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (bytes.startsWith("\xD0\xCF\x11\xE0")) {
        std::optional<CompoundEntry> container = readCompoundFile(bytes);
        if (container) {
            if (const CompoundEntry *stream = container->findStream("Workbook"))
                exercise(stream->data);
        }
    } else {
        exercise(bytes);
    }
    return 0;
}
