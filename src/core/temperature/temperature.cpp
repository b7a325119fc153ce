#include "core/temperature/temperature.h"

#include "core/base/data_text.h"
#include "core/calc/time_temperature.h"

#include <cmath>

double toCelsius(double value, TemperatureUnit unit)
{
    return unit == TemperatureUnit::Fahrenheit ? (value - 32) * 5 / 9 : value;
}

double fromCelsius(double celsius, TemperatureUnit unit)
{
    return unit == TemperatureUnit::Fahrenheit ? celsius * 9 / 5 + 32 : celsius;
}

std::optional<double> parseTemperature(QStringView text, TemperatureUnit defaultUnit)
{
    QStringView t = text.trimmed();
    TemperatureUnit unit = defaultUnit;
    if (!t.isEmpty()) {
        const QChar last = t.back().toUpper();
        if (last == u'C' || last == u'F') {
            unit = last == u'C' ? TemperatureUnit::Celsius : TemperatureUnit::Fahrenheit;
            t.chop(1);
            if (t.endsWith(u'°'))
                t.chop(1);
            t = t.trimmed();
        } else if (last == u'°') {
            t.chop(1);
            t = t.trimmed();
        }
    }
    const std::optional<double> value = parseDecimal(t);
    if (!value)
        return std::nullopt;
    const double celsius = toCelsius(*value, unit);
    if (!(celsius >= MinCelsius && celsius <= MaxCelsius))
        return std::nullopt;
    return celsius;
}

QString formatTemperature(double celsius, TemperatureUnit unit, QChar decimalSeparator)
{
    const double tenths = std::nearbyint(fromCelsius(celsius, unit) * 10);
    QString text = formatDecimal(tenths / 10, decimalSeparator, 1);
    return text +
           (unit == TemperatureUnit::Fahrenheit ? QStringLiteral(" °F") : QStringLiteral(" °C"));
}

std::optional<long double> TemperatureResponse::tableFactor(double celsius) const
{
    if (table.size() < 2 || !(celsius >= table.front().celsius && celsius <= table.back().celsius))
        return std::nullopt;
    for (size_t i = 0; i + 1 < table.size(); ++i) {
        const Row &a = table[i];
        const Row &b = table[i + 1];
        if (celsius == a.celsius)
            return a.factor;
        if (celsius == b.celsius)
            return b.factor;
        if (celsius > a.celsius && celsius < b.celsius) {
            // Log-linear: the factors of a chart change by a like ratio a degree.
            const long double u = (static_cast<long double>(celsius) - a.celsius) /
                                  (static_cast<long double>(b.celsius) - a.celsius);
            const long double la = std::log(static_cast<long double>(a.factor));
            const long double lb = std::log(static_cast<long double>(b.factor));
            return std::exp(la + u * (lb - la));
        }
    }
    return std::nullopt;
}

std::optional<long double> TemperatureResponse::factor(double celsius,
                                                       double referenceCelsius) const
{
    if (!std::isfinite(celsius) || !std::isfinite(referenceCelsius))
        return std::nullopt;
    long double f = 1;
    switch (model) {
    case None:
        return 1.0L;
    case ConversionTemps:
        if (celsius == referenceCelsius)
            return 1.0L;
        // Within the plausible temperatures the power stays far from overflow.
        if (std::fabs(celsius - referenceCelsius) > MaxCelsius - MinCelsius)
            return std::nullopt;
        f = TimeTemperature::timeFactor(celsius, referenceCelsius,
                                        TimeTemperature::slope(TimeTemperature::Celsius));
        break;
    case PerDegree:
        if (!(perDegree > 0 && perDegree <= 10))
            return std::nullopt;
        if (celsius == referenceCelsius)
            return 1.0L;
        if (std::fabs(celsius - referenceCelsius) > MaxCelsius - MinCelsius)
            return std::nullopt;
        f = std::pow(static_cast<long double>(perDegree),
                     static_cast<long double>(celsius) - referenceCelsius);
        break;
    case Table: {
        const std::optional<long double> at = tableFactor(celsius);
        const std::optional<long double> ref = tableFactor(referenceCelsius);
        if (!at || !ref)
            return std::nullopt;
        if (celsius == referenceCelsius)
            return 1.0L;
        f = *at / *ref;
        break;
    }
    }
    if (!(f >= 1 / MaxTimeFactor && f <= MaxTimeFactor))
        return std::nullopt;
    return f;
}

bool TemperatureResponse::isValid() const
{
    switch (model) {
    case ConversionTemps:
    case None:
        return true;
    case PerDegree:
        return perDegree > 0 && perDegree <= 10;
    case Table:
        if (table.size() < 2)
            return false;
        for (size_t i = 0; i < table.size(); ++i) {
            const Row &r = table[i];
            if (!(r.factor > 0 && r.factor <= MaxTimeFactor) || !(r.celsius >= MinCelsius) ||
                !(r.celsius <= MaxCelsius))
                return false;
            if (i > 0 && !(r.celsius > table[i - 1].celsius))
                return false;
        }
        return true;
    }
    return false;
}
