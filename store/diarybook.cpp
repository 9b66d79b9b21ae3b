#include "diarybook.h"

#include "backups.h"
#include "compoundfile.h"
#include "datetext.h"
#include "numbertext.h"
#include "replacefile.h"
#include "systemreason.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <numeric>

namespace {

// What a zip archive named .xls is: an OpenDocument spreadsheet names its
// kind in an uncompressed first member, "mimetype"; anything else zipped is
// taken for the newer Excel format.
DiaryError zippedFormat(const QByteArray &bytes)
{
    constexpr qsizetype firstMemberName = 30;
    if (bytes.mid(firstMemberName, 8) == "mimetype"
        && bytes.mid(firstMemberName + 8, 64).startsWith("application/vnd.oasis.opendocument"))
        return DiaryError::OpenDocument;
    return DiaryError::NewerExcel;
}

// A typed weight or body fat: blank for "0" or nothing, a number when it
// reads as one, otherwise kept as the text it is.
CellValue measurement(const QString &text)
{
    if (text == u"0" || text.isEmpty())
        return CellValue();
    if (const std::optional<double> number = parseNumberText(text))
        return CellValue::number(*number);
    return CellValue::text(text);
}

// Sheet order for sorting by date: dates and numbers by value, then texts,
// then blanks.
bool sortsBefore(const CellValue &x, const CellValue &y)
{
    const auto rank = [](const CellValue &v) {
        switch (v.kind()) {
        case CellValue::Kind::Date:
        case CellValue::Kind::Number: return 0;
        case CellValue::Kind::Text: return 1;
        case CellValue::Kind::Empty: return 2;
        }
        return 2;
    };
    if (rank(x) != rank(y))
        return rank(x) < rank(y);
    if (rank(x) == 0)
        return *x.toReal() < *y.toReal();
    if (rank(x) == 1)
        return x.toText().compare(y.toText(), Qt::CaseInsensitive) < 0;
    return false;
}

} // namespace

DiaryFailure commentProblem(const DayValues &day)
{
    for (const auto &[text, code] : {std::pair{&day.commentIn, DiaryError::IntakeCommentTooLong},
                                     std::pair{&day.commentOut, DiaryError::BurnCommentTooLong}}) {
        if (text->size() > MaxCellText)
            return DiaryProblem{code, {}, {}, text->size(), MaxCellText};
    }
    return std::nullopt;
}

DiaryBook::DiaryBook(const QString &path) : m_path(path) {}
DiaryBook::~DiaryBook() = default;

DiaryProblem DiaryBook::fail(DiaryError code)
{
    return fail(DiaryProblem{code});
}

DiaryProblem DiaryBook::fail(DiaryProblem problem)
{
    close();
    problem.path = m_path;
    return problem;
}

DiaryFailure DiaryBook::open()
{
    close();
    const QFileInfo info(m_path);
    if (!info.exists() || info.isDir())
        return fail({DiaryError::NotAFile,
                     {},
                     {},
                     0,
                     0,
                     FileReason{info.isDir() ? FileProblem::Folder : FileProblem::Missing, {}}});
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail({DiaryError::Unreadable, {}, {}, 0, 0, reasonOfFile(file)});
    // Mapped rather than read: the streams are copied out of the file once,
    // and the file's own bytes leave memory before the workbook is parsed.
    const qint64 size = file.size();
    uchar *mapped = size > 0 ? file.map(0, size) : nullptr;
    if (size > 0 && !mapped)
        return fail({DiaryError::Unreadable, {}, {}, 0, 0, reasonOfFile(file)});
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), qsizetype(size));
    if (bytes.startsWith("PK"))
        return fail(zippedFormat(bytes));
    std::optional<CompoundEntry> container = readCompoundFile(bytes);
    const bool cutShort = !container && isCutShortCompoundFile(bytes);
    if (mapped)
        file.unmap(mapped);
    if (cutShort)
        return fail({DiaryError::CutShort, {}, {}, size});
    if (!container)
        return fail(DiaryError::NotCompoundFile);
    m_container = std::make_unique<CompoundEntry>(std::move(*container));
    const CompoundEntry *stream = m_container->findStream("Workbook");
    if (!stream)
        return fail(m_container->findStream("Book") ? DiaryError::OldExcel : DiaryError::NotAWorkbook);
    Workbook::ParseResult parsed = Workbook::parse(stream->data);
    if (!parsed.book)
        return fail(parsed.error);
    m_workbook = std::move(parsed.book);
    m_sheet = m_workbook->findSheet(DiarySheetName);
    if (m_sheet < 0)
        return fail({DiaryError::NoDiarySheet, {}, {DiarySheetName.toString()}});
    return std::nullopt;
}

int DiaryBook::firstEmptyRow()
{
    m_rowCount = m_workbook->diaryLength(m_sheet, MaxDiaryRows, &m_full);
    m_haveCells = false;
    return m_rowCount == 0 ? 0 : m_rowCount + 1;
}

DiaryTable DiaryBook::table() const
{
    if (!m_haveCells)
        return m_workbook->diaryTable(m_sheet, m_rowCount);
    std::vector<DiaryRow> rows;
    rows.reserve(m_rows.size());
    for (const SheetRow &sheetRow : m_rows) {
        DiaryRow row;
        for (size_t c = 0; c < row.size(); ++c)
            row[c] = value(sheetRow[c]);
        rows.push_back(std::move(row));
    }
    return DiaryTable(std::move(rows));
}

void DiaryBook::ensureCells()
{
    if (!m_haveCells) {
        m_rows = m_workbook->diaryCells(m_sheet, m_rowCount);
        m_haveCells = true;
    }
}

CellValue DiaryBook::value(const SheetCell &cell) const
{
    return cell.origin >= 0 ? m_workbook->originValue(m_sheet, cell.origin) : m_workbook->writtenValue(cell);
}

void DiaryBook::WriteExcelDate(int row, const DayValues &day)
{
    ensureCells();
    Q_ASSERT(row >= 1 && row <= int(m_rows.size()) + 1);
    if (row > int(m_rows.size()))
        m_rows.push_back(m_workbook->rowFormats(m_sheet, row - 1));
    SheetRow &cells = m_rows[size_t(row - 1)];
    const std::optional<QDate> date = parseDateText(day.date);
    const DiaryRow values{
        date ? CellValue::date(oleDayNumber(*date)) : CellValue::textOrBlank(day.date),
        measurement(day.weight),
        measurement(day.fat),
        CellValue::number(day.intake),
        CellValue::number(day.burn),
        CellValue::textOrBlank(day.commentIn),
        CellValue::textOrBlank(day.commentOut),
        CellValue::textOrBlank(day.photo),
    };
    for (size_t c = 0; c < values.size(); ++c) {
        SheetCell &cell = cells[c]; // keeps its cell format
        cell.value = values[c];
        cell.origin = -1;
    }
    SheetCell &dateCell = cells[columnIndex(DiaryColumn::Date)];
    if (!m_workbook->isDateXf(dateCell.xf) && date)
        dateCell.xf = m_workbook->dateXf();
}

void DiaryBook::SetExcelSort()
{
    ensureCells();
    // Sorting positions rather than the rows themselves keeps the sort cheap.
    std::vector<CellValue> dates;
    dates.reserve(m_rows.size());
    for (const SheetRow &row : m_rows)
        dates.push_back(value(row[columnIndex(DiaryColumn::Date)]));
    std::vector<size_t> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return sortsBefore(dates[a], dates[b]); });
    std::vector<SheetRow> sorted;
    sorted.reserve(m_rows.size());
    for (size_t index : order)
        sorted.push_back(std::move(m_rows[index]));
    m_rows = std::move(sorted);
}

DiaryFailure DiaryBook::save()
{
    ensureCells();
    const Workbook::StreamResult written = m_workbook->toStream(m_sheet, m_rows);
    if (written.error)
        return DiaryProblem{written.error->code, m_path, written.error->names, 0, written.error->limit};
    m_saveNotes = written.notes;
    CompoundEntry container = *m_container;
    container.findStream("Workbook")->data = written.stream;
    const std::optional<QByteArray> bytes = writeCompoundFile(container);
    if (!bytes)
        return DiaryProblem{DiaryError::CannotAssemble, m_path};
    m_backupProblem.reset();
    if (DiaryFailure skipped = m_keepBackups ? keepBackup(m_path, QDateTime::currentDateTime()) : std::nullopt)
        m_backupProblem = DiaryProblem{DiaryError::BackupSkipped, backupFolder(m_path), {}, 0, 0, {}, {*skipped}};
    // The new workbook goes to a temporary file beside the old one, reaches
    // the disk, and only then takes the old one's name.
    bool splitLink = false;
    if (const std::optional<FileReason> why = replaceFile(m_path, *bytes, LinkHandling::ReplaceTarget, &splitLink))
        return DiaryProblem{DiaryError::CannotSave, m_path, {}, 0, 0, why};
    if (splitLink)
        m_saveNotes.push_back({DiaryError::LinkSplit, linkTarget(m_path)});
    return std::nullopt;
}

void DiaryBook::close()
{
    m_workbook.reset();
    m_container.reset();
    m_sheet = -1;
}

DayPlacement::DayPlacement(DiaryBook &book) : m_book(book)
{
    book.firstEmptyRow();
    // What is on disk now is what the days are written into.
    m_onDisk = book.table();
    m_rowCount = m_onDisk.rowCount();
    m_firstNewRow = m_rowCount + 1;
}

DayPlacement::Place DayPlacement::find(const QString &date) const
{
    if (const int row = m_onDisk.findDate(date); row > 0)
        return {row, true, {}};
    if (const int row = m_newRowOfDate.value(date); row > 0)
        return {row, true, {}};
    // A full sheet still takes corrections; only a new day has no row left.
    if (m_rowCount >= MaxDiaryRows)
        return {0, false, DiaryProblem{DiaryError::Full}};
    // A new day fills the first row without a date; a second one would go
    // over the days the sheet keeps below it.
    if (m_rowCount >= m_firstNewRow && m_book.hasDaysBelowGap())
        return {0, false, DiaryProblem{DiaryError::GapAboveDays, {}, {}, m_firstNewRow}};
    return {m_rowCount + 1, false, {}};
}

void DayPlacement::write(const Place &place, const DayValues &day)
{
    Q_ASSERT(place.row > 0);
    if (!place.recorded) {
        m_rowCount = std::max(m_rowCount, place.row);
        m_newRowOfDate.insert(day.date, place.row);
    }
    m_book.WriteExcelDate(place.row, day);
}

DiaryTable DayPlacement::finish()
{
    m_book.SetExcelSort();
    return m_book.table();
}

SaveDaysResult saveDays(const QString &path, const std::vector<DayValues> &days, bool overwrite)
{
    DiaryBook book(path);
    if (DiaryFailure unusable = book.open())
        return {false, unusable, {}, {}};
    DayPlacement placement(book);
    for (const DayValues &day : days) {
        const DayPlacement::Place place = placement.find(day.date);
        if (place.recorded && !overwrite)
            return {false, DiaryProblem{DiaryError::AlreadyRecorded, {}, {day.date}}, {}, {}};
        if (place.row == 0)
            return {false, place.refusal, {}, {}};
        placement.write(place, day);
    }
    DiaryTable table = placement.finish();
    if (DiaryFailure failed = book.save())
        return {false, failed, {}, {}};
    return {true, {}, std::move(table), book.saveNotes()};
}
