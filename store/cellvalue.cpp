#include "cellvalue.h"

#include "datetext.h"
#include "numbertext.h"

#include <cmath>
#include <limits>

// Each value is made in place: a temporary variant holding a QString
// alternative makes GCC 12 warn of an uninitialised read that cannot happen.
CellValue CellValue::date(double oleDayNumber)
{
    CellValue cell;
    cell.m_value.emplace<DateValue>(DateValue{oleDayNumber});
    return cell;
}

CellValue CellValue::number(double value)
{
    CellValue cell;
    cell.m_value.emplace<double>(value);
    return cell;
}

CellValue CellValue::text(const QString &text)
{
    CellValue cell;
    cell.m_value.emplace<QString>(text);
    return cell;
}

CellValue CellValue::textOrBlank(const QString &text)
{
    return text.isEmpty() ? CellValue() : CellValue::text(text);
}

CellValue::Kind CellValue::kind() const
{
    return static_cast<Kind>(m_value.index());
}

QString CellValue::toText() const
{
    switch (kind()) {
    case Kind::Empty: return {};
    case Kind::Date: return dateText(dateFromOleDayNumber(std::get<DateValue>(m_value).dayNumber));
    case Kind::Number: return generalNumberText(std::get<double>(m_value));
    case Kind::Text: return std::get<QString>(m_value);
    }
    return {};
}

std::optional<double> CellValue::toReal() const
{
    switch (kind()) {
    case Kind::Empty: return 0.0;
    case Kind::Date: return std::get<DateValue>(m_value).dayNumber;
    case Kind::Number: return std::get<double>(m_value);
    case Kind::Text: return parseNumberText(std::get<QString>(m_value));
    }
    return std::nullopt;
}

std::optional<int> CellValue::toInt() const
{
    const std::optional<double> real = toReal();
    if (!real || !std::isfinite(*real) || std::fabs(*real) > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(std::lround(*real));
}

std::optional<double> CellValue::toDayNumber() const
{
    switch (kind()) {
    case Kind::Empty: return std::nullopt;
    case Kind::Date:
    case Kind::Number: return toReal();
    case Kind::Text:
        if (const std::optional<QDate> day = parseDateText(std::get<QString>(m_value)))
            return oleDayNumber(*day);
        return std::nullopt;
    }
    return std::nullopt;
}

bool CellValue::equalsDateText(QStringView text) const
{
    switch (kind()) {
    case Kind::Empty: return false;
    case Kind::Text: return std::get<QString>(m_value) == text;
    case Kind::Date:
    case Kind::Number: {
        const std::optional<QDate> day = parseDateText(text);
        return day && *toReal() >= oleDayNumber(*day) && *toReal() < oleDayNumber(*day) + 1;
    }
    }
    return false;
}
