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

int DiaryTable::FirstEmptyRow() const
{
    return m_rows.empty() ? 0 : static_cast<int>(m_rows.size()) + 1;
}

const CellValue &DiaryTable::cell(int row, int column) const
{
    Q_ASSERT(column >= 1 && column <= DiaryColumnCount);
    return this->row(row)[column - 1];
}

const DiaryRow &DiaryTable::row(int row) const
{
    Q_ASSERT(row >= 1 && row < FirstEmptyRow());
    return m_rows[static_cast<size_t>(row - 1)];
}

int DiaryTable::findDate(QStringView dateText) const
{
    for (int r = 1; r < FirstEmptyRow(); ++r) {
        if (cell(r, ColDate).equalsDateText(dateText))
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
