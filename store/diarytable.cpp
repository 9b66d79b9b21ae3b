#include "diarytable.h"

#include <QtGlobal>
#include <atomic>
#include <utility>

std::uint64_t DiaryTable::nextSerial()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

DiaryTable::DiaryTable(DiaryTable &&other) noexcept
    : m_rows(std::exchange(other.m_rows, {})), m_serial(std::exchange(other.m_serial, nextSerial()))
{}

DiaryTable &DiaryTable::operator=(DiaryTable &&other) noexcept
{
    m_rows = std::exchange(other.m_rows, {});
    m_serial = std::exchange(other.m_serial, nextSerial());
    return *this;
}

int DiaryTable::firstEmptyRow() const
{
    return m_rows.empty() ? 0 : rowCount() + 1;
}

const CellValue &DiaryTable::cell(int row, DiaryColumn column) const
{
    return this->row(row)[columnIndex(column)];
}

const DiaryRow &DiaryTable::row(int row) const
{
    Q_ASSERT(row >= 1 && row <= rowCount());
    return m_rows[static_cast<size_t>(row - 1)];
}

int DiaryTable::findDate(QStringView dateText) const
{
    for (int r = 1; r <= rowCount(); ++r) {
        if (cell(r, DiaryColumn::Date).equalsDateText(dateText))
            return r;
    }
    return 0;
}

CalorieLevel calorieLevel(QStringView levelText)
{
    if (levelText == u"0")
        return CalorieLevel::Little;
    if (levelText == u"1")
        return CalorieLevel::Standard;
    return CalorieLevel::Much;
}
