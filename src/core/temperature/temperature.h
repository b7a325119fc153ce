#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

// Temperatures are held in degrees Celsius; °F is a way of typing and showing
// them. The unit a user works in comes from Préférences.
enum class TemperatureUnit
{
    Celsius,
    Fahrenheit
};

double toCelsius(double value, TemperatureUnit unit);
double fromCelsius(double celsius, TemperatureUnit unit);

// Colder or hotter than any bath a film goes through: a typed value outside is
// a slip, and every factor stays finite inside.
inline constexpr double MinCelsius = -50;
inline constexpr double MaxCelsius = 150;

// A number with "." or "," as its separator, optionally followed by a unit
// ("°C", "°F", "C", "F", letter case ignored, blanks allowed before it); with
// no unit it is in defaultUnit. "20", "20,5", "68 °F", "21.5°C". Nothing else,
// and nothing outside MinCelsius..MaxCelsius once converted.
std::optional<double> parseTemperature(QStringView text, TemperatureUnit defaultUnit);

// At most one decimal, a trailing ".0" dropped: "20 °C", "21.5 °C", "70.7 °F".
QString formatTemperature(double celsius, TemperatureUnit unit, QChar decimalSeparator = u'.');

// How a bath's time depends on its temperature. factor() is the time at T over
// the time at the reference temperature the process file's times are for.
struct TemperatureResponse
{
    enum Model
    {
        // The Conversion Temps page's model: log2 of the time falls linearly,
        // about 7 % shorter a degree warmer.
        ConversionTemps,
        // time × perDegree^(T − Tref); perDegree is the factor one degree
        // warmer gives (0.93 for 7 % shorter).
        PerDegree,
        // The maker's chart: time factors at given temperatures, interpolated
        // log-linear between rows and refused outside them.
        Table,
        // The time does not depend on the temperature (a stop bath, a wash).
        None
    };
    struct Row
    {
        double celsius = 0;
        double factor = 1;
        bool operator==(const Row &) const = default;
    };

    Model model = ConversionTemps;
    double perDegree = 1;
    std::vector<Row> table; // rising temperatures, at least two rows

    bool operator==(const TemperatureResponse &) const = default;

    // The factor at celsius, or nothing where the model gives none: outside a
    // table (reference included), or past 1000 × either way.
    std::optional<long double> factor(double celsius, double referenceCelsius) const;
    // The table's own factor at celsius (not relative), nothing outside it.
    std::optional<long double> tableFactor(double celsius) const;
    // Whether the fields make a model: a positive per-degree factor up to 10,
    // a table of at least two rows, rising, with positive factors.
    bool isValid() const;
};

// A factor beyond this either way would make hours of seconds, or nothing.
inline constexpr long double MaxTimeFactor = 1000;
