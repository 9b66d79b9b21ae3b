#pragma once

#include <QString>
#include <optional>
#include <variant>

// One cell of the diary as the workbook gives it back: empty (a blank cell),
// a date, a number or text.
class CellValue
{
public:
    enum class Kind { Empty, Date, Number, Text };

    CellValue() = default;
    static CellValue date(double oleDayNumber);
    static CellValue number(double value);
    static CellValue text(const QString &text);
    // A text cell, or a blank one for an empty text (as spreadsheets keep them).
    static CellValue textOrBlank(const QString &text);

    Kind kind() const;
    bool isEmpty() const { return kind() == Kind::Empty; }

    // Empty gives "", a date YYYY/MM/DD, a number its general decimal form.
    QString toText() const;
    // A date gives its OLE day number; empty gives 0; text gives the number it
    // spells, nullopt when it spells none.
    std::optional<double> toReal() const;
    // toReal() rounded to the nearest whole number.
    std::optional<int> toInt() const;
    // Whether the cell holds the day that a YYYY/MM/DD text names: a date cell
    // (or a bare day number) of that day, or a text cell of that very text.
    bool equalsDateText(QStringView dateText) const;
    // The day the cell names, as an OLE day number: a date cell (or a bare
    // day number) as it is, a text cell by the YYYY/MM/DD text it holds;
    // nullopt for empty cells and other texts.
    std::optional<double> toDayNumber() const;

    bool operator==(const CellValue &other) const = default;

private:
    struct DateValue
    {
        double dayNumber;
        bool operator==(const DateValue &) const = default;
    };
    using Value = std::variant<std::monostate, DateValue, double, QString>;

    Value m_value;
};
