#pragma once

#include <QString>
#include <optional>

// Numbers travel as text between the controls, the settings file and the
// diary. They are always read and written with "." as the decimal point,
// whatever the desktop locale, so files from the original system read the same.

// The general decimal form: at most 15 significant digits, no trailing zeros
// (70, 70.5, 60.35 for 60.25 + 0.1).
QString generalNumberText(double value);

// A number as the user typed it, in the ASCII form it is judged and stored
// in: a Japanese keyboard gives full-width digits, point and signs
// (７８．５, －０．５), and the minus sign U+2212; blanks around it, the
// full-width space too, are dropped. Any other text stays as it is.
QString typedNumberText(QStringView typed);

// A decimal number, blanks around it allowed; nullopt when the text is not one.
std::optional<double> parseNumberText(QStringView text);
