#pragma once

#include <QChar>
#include <QString>

// Number texts of the program. Every rounding here takes halves away from zero and decides on
// the exact decimal expansion of the double, so 10.125 (held exactly) gives 10.13 while 1.005
// (held as slightly less) gives 1.00.

// The process-wide decimal separator of the user-facing number texts. Taken from the system
// locale at first use; tests and the program may change it.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar separator);

// Value rounded to the given number of decimals (at most 15 significant digits).
double RoundDecimals(double value, int decimals);

// The text sent to the player: fixed notation, exactly two decimals, "." as decimal point.
QString FloatToFlashText(double value);

// The general form of the project file and the property grids: at most 15 significant digits,
// no trailing zeros, the current decimal separator; fixed notation from 0.0001 up to 15 integer
// digits, otherwise scientific ("1E-5", "1.5E20").
QString FloatToText(double value);

// Reads a number written with the current decimal separator: optional blanks, an optional sign,
// digits with at most one separator, an optional exponent and optional blanks. Anything else,
// digit grouping included, leaves value unchanged and returns false.
bool TextToFloat(const QString& text, double& value);

// The whole-number form of the interface description: no separator, "-" before negatives.
QString FloatToWholeText(double value);
