#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// Development time compensation: log2 of the time falls linearly with the
// temperature, the slope fixed by two anchors at which the times stand in the
// ratio 185.5043714 : 100 (18 and 27 °C, or 64.4 and 80.6 °F).
namespace TimeTemperature {

enum Unit
{
    Celsius = 0,
    Fahrenheit = 1
};

// The slope of log2(time) per degree, held as a double. Any index but
// Celsius counts as Fahrenheit.
double slope(int unit);

// 2^((T - Tref) * k), computed as e^(x ln 2) and exactly 1 when T is Tref: the
// factor a time at Tref takes at T. Raises "Floating point overflow" when it
// is infinite.
long double timeFactor(long double T, long double Tref, double k);

// 2^((T - Tref) * k) * tref seconds, rounded to the nearest second (halves to
// even). Raises "Floating point overflow" beyond the 32-bit range of seconds.
int compensatedSeconds(long double T, long double Tref, double k, double tref);

struct Table
{
    QString time;             // the compensated time for the new temperature
    QStringList temperatures; // the whole temperatures around it
    QStringList times;        // and their compensated times
};

// The whole calculation of the Calcul button. Raises on a temperature that is
// not a number and on results out of range; nothing is half-done then.
Table compensate(int unit, const QString &refTime, const QString &refTemperature,
                 const QString &newTemperature, QChar decimalSeparator, int columns = 11);

} // namespace TimeTemperature
