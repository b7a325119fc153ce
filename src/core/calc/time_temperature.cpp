#include "core/calc/time_temperature.h"

#include "core/base/runtime_error.h"
#include "core/calc/number_text.h"
#include "core/process/time_text.h"

#include <cmath>
#include <limits>

namespace TimeTemperature {

namespace {

constexpr long double Ln2 = 0.693147180559945309417232121458176568L;

// Round to the nearest integer, halves to even, as a 64-bit integer.
qint64 roundToInteger(long double v)
{
    const long double r = std::nearbyint(v);
    if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L))
        throw RuntimeError::invalidOperation();
    return static_cast<qint64>(r);
}

} // namespace

double slope(int unit)
{
    const long double ta = unit == Celsius ? 18.0L : 64.4L;
    const long double tb = unit == Celsius ? 27.0L : 80.6L;
    return static_cast<double>((std::log2(185.5043714L) - std::log2(100.0L)) / (ta - tb));
}

long double timeFactor(long double T, long double Tref, double k)
{
    const long double x = checkedMultiply(checkedSubtract(T, Tref), k);
    const long double power = x == 0 ? 1.0L : std::exp(checkedMultiply(x, Ln2));
    if (std::isinf(power))
        throw RuntimeError::overflow();
    return power;
}

int compensatedSeconds(long double T, long double Tref, double k, double tref)
{
    const long double power = timeFactor(T, Tref, k);
    const long double seconds = std::nearbyint(checkedMultiply(power, tref));
    if (seconds > std::numeric_limits<int>::max() || seconds < std::numeric_limits<int>::min())
        throw RuntimeError::overflow();
    return static_cast<int>(seconds);
}

Table compensate(int unit, const QString &refTime, const QString &refTemperature,
                 const QString &newTemperature, QChar decimalSeparator, int columns)
{
    const double k = slope(unit);
    const double tref = TimeTextToSeconds(refTime);
    const long double newT = TextToNumber(newTemperature, decimalSeparator);
    const long double refT = TextToNumber(refTemperature, decimalSeparator);

    Table table;
    table.time = SecondsToTimeText(compensatedSeconds(newT, refT, k, tref));
    const qint64 centre = roundToInteger(newT);
    if (centre < std::numeric_limits<qint64>::min() + 5 ||
        centre > std::numeric_limits<qint64>::max() - columns)
        throw RuntimeError::overflow();
    for (int i = 0; i < columns; ++i) {
        const QString temperature = QString::number(centre - 5 + i);
        // The cell's text is what the time is computed from.
        const long double t = TextToNumber(temperature, decimalSeparator);
        table.temperatures << temperature;
        table.times << SecondsToTimeText(compensatedSeconds(t, refT, k, tref));
    }
    return table;
}

} // namespace TimeTemperature
