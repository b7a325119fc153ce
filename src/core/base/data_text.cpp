#include "core/base/data_text.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>

std::optional<double> parseDecimal(QStringView text)
{
    if (text.isEmpty() || text.size() > MaxDecimalLength)
        return std::nullopt;
    char plain[MaxDecimalLength];
    qsizetype n = 0;
    qsizetype i = 0;
    if (text.front() == u'-') {
        plain[n++] = '-';
        ++i;
    }
    int digits = 0;
    bool separator = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            plain[n++] = char(c);
            ++digits;
        } else if ((c == u'.' || c == u',') && !separator && digits > 0) {
            plain[n++] = '.';
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || plain[n - 1] == '.')
        return std::nullopt;
    // Correctly rounded, so the shortest text of a value reads back as it.
    double value = 0;
    const auto [end, error] = std::from_chars(plain, plain + n, value, std::chars_format::fixed);
    if (error != std::errc() || end != plain + n || !std::isfinite(value))
        return std::nullopt;
    return value == 0 ? 0.0 : value; // no "-0"
}

QString decimalText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString formatDecimal(double value, QChar decimalSeparator, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    text.replace(u'.', decimalSeparator);
    return text;
}

std::optional<qint64> parseCount(QStringView text, qint64 max)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}

namespace {

std::optional<int> digits(QStringView text, qsizetype from, qsizetype count)
{
    if (from + count > text.size())
        return std::nullopt;
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

std::optional<QDate> parseIsoDate(QStringView text)
{
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    const auto y = digits(text, 0, 4);
    const auto m = digits(text, 5, 2);
    const auto d = digits(text, 8, 2);
    if (!y || !m || !d)
        return std::nullopt;
    const QDate date(*y, *m, *d);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString isoDateText(QDate date)
{
    return date.toString(Qt::ISODate);
}

std::optional<qint64> parseDurationMs(QStringView text)
{
    qsizetype colon = 0;
    while (colon < text.size() && colon < 6 && text[colon] != QLatin1Char(':'))
        ++colon;
    if (colon < 1 || colon > 5 || colon == text.size())
        return std::nullopt;
    const auto h = digits(text, 0, colon);
    if (!h || text.size() < colon + 6 || text[colon + 3] != u':')
        return std::nullopt;
    const auto m = digits(text, colon + 1, 2);
    const auto s = digits(text, colon + 4, 2);
    if (!m || !s || *m > 59 || *s > 59)
        return std::nullopt;
    qint64 ms = ((qint64(*h) * 60 + *m) * 60 + *s) * 1000;
    const qsizetype rest = colon + 6;
    if (rest == text.size())
        return ms;
    if (text.size() != rest + 4 || text[rest] != u'.')
        return std::nullopt;
    const auto milli = digits(text, rest + 1, 3);
    if (!milli)
        return std::nullopt;
    return ms + *milli;
}

QString durationText(qint64 ms, bool withMs)
{
    ms = std::max<qint64>(0, ms);
    const qint64 seconds = ms / 1000;
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                       .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (withMs)
        text += QStringLiteral(".%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
    return text;
}
