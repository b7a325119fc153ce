#pragma once

#include <QChar>
#include <QString>

// Numbers as the calculators read and write them. The separator is passed in
// so that the same code serves a "." and a "," locale (and tests of both).

// The separator the user types: the system locale's decimal point.
QChar localeDecimalSeparator();

// Blanks around, an optional sign, digits with at most one separator, an
// optional exponent, nothing else. Raises "'<text>' is not a valid floating
// point value" for anything else, the empty text included.
long double TextToNumber(const QString &text, QChar decimalSeparator);

// General format with 15 significant digits: fixed notation from 0.0001 up to
// below 1E15 (after rounding), otherwise 1E-6, 1.5E-5, 1E15. Zero is "0".
QString NumberToText(long double value, QChar decimalSeparator);

// Extended arithmetic that raises the runtime's floating-point errors instead
// of letting an infinity or a NaN reach a field.
long double checkedAdd(long double a, long double b);
long double checkedSubtract(long double a, long double b);
long double checkedMultiply(long double a, long double b);
// 0 / 0 is an invalid operation; any other x / 0 a division by zero.
long double checkedDivide(long double a, long double b);
// Rounds to a double; a value beyond the double range is an overflow.
double toDouble(long double value);
