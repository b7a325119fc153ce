#include "core/calc/number_text.h"

#include "core/base/runtime_error.h"

#include <QLocale>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

// strtold follows LC_NUMERIC, which QCoreApplication sets from the
// environment; the text handed to it is always written with a ".".
locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

long double checkedResult(long double v)
{
    if (std::isnan(v))
        throw RuntimeError::invalidOperation();
    if (std::isinf(v))
        throw RuntimeError::overflow();
    return v;
}

} // namespace

QChar localeDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 ? point.front() : QLatin1Char('.');
}

long double TextToNumber(const QString &text, QChar decimalSeparator)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    std::string ascii;
    ascii.reserve(static_cast<size_t>(n));
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ascii += static_cast<char>(text[i++].unicode());
    int mantissaDigits = 0;
    bool separatorSeen = false;
    for (; i < n; ++i) {
        if (isDigit(text[i])) {
            ascii += static_cast<char>(text[i].unicode());
            ++mantissaDigits;
        } else if (text[i] == decimalSeparator && !separatorSeen) {
            ascii += '.';
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        throw RuntimeError::invalidFloat(text);
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        ascii += 'e';
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ascii += static_cast<char>(text[i++].unicode());
        int exponentDigits = 0;
        for (; i < n && isDigit(text[i]); ++i, ++exponentDigits)
            ascii += static_cast<char>(text[i].unicode());
        if (exponentDigits == 0)
            throw RuntimeError::invalidFloat(text);
    }
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    if (i != n)
        throw RuntimeError::invalidFloat(text);
    const long double value = strtold_l(ascii.c_str(), nullptr, cLocale());
    // A number beyond the extended range cannot be held: it is not a value.
    if (std::isinf(value))
        throw RuntimeError::invalidFloat(text);
    return value;
}

QString NumberToText(long double value, QChar decimalSeparator)
{
    checkedResult(value);
    if (value == 0)
        return QStringLiteral("0");
    // "%.14Le" rounds to 15 significant digits: [-]d.dddddddddddddde[+-]x.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", value);
    const bool negative = buf[0] == '-';
    const char *p = buf + (negative ? 1 : 0);
    std::string digits(1, p[0]);
    digits.append(p + 2, 14);
    const int exponent = std::atoi(p + 17);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    QString out;
    if (negative)
        out += QLatin1Char('-');
    const int count = static_cast<int>(digits.size());
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += QLatin1Char('0');
            out += decimalSeparator;
            out += QString(-exponent - 1, QLatin1Char('0'));
            out += QLatin1String(digits.c_str());
        } else {
            const int whole = exponent + 1;
            out += QLatin1String(digits.c_str(), std::min(whole, count));
            if (count < whole)
                out += QString(whole - count, QLatin1Char('0'));
            if (count > whole) {
                out += decimalSeparator;
                out += QLatin1String(digits.c_str() + whole, count - whole);
            }
        }
    } else {
        out += QLatin1Char(digits[0]);
        if (count > 1) {
            out += decimalSeparator;
            out += QLatin1String(digits.c_str() + 1, count - 1);
        }
        out += QLatin1Char('E');
        out += QString::number(exponent);
    }
    return out;
}

long double checkedAdd(long double a, long double b)
{
    return checkedResult(a + b);
}

long double checkedSubtract(long double a, long double b)
{
    return checkedResult(a - b);
}

long double checkedMultiply(long double a, long double b)
{
    return checkedResult(a * b);
}

long double checkedDivide(long double a, long double b)
{
    if (b == 0) {
        if (a == 0 || std::isnan(a))
            throw RuntimeError::invalidOperation();
        throw RuntimeError::divisionByZero();
    }
    return checkedResult(a / b);
}

double toDouble(long double value)
{
    const double d = static_cast<double>(checkedResult(value));
    if (std::isinf(d))
        throw RuntimeError::overflow();
    return d;
}
