#pragma once

#include "core/temperature/temperature.h"

#include <QString>

class LanguageTable;

// The texts the temperature work shows, from lines 180 to 189 of the language
// file; each keeps our own French wording while the file leaves it empty.
struct TemperatureTexts
{
    // %1 the temperature, %2 the time in the file, %3 the time it gives.
    QString label = QStringLiteral("%1 · %2 → %3");
    // %1 the temperature, %2 and %3 the table's first and last.
    QString outsideTable = QStringLiteral("%1 est hors de la table du bain : de %2 à %3.");
    // %1 the text typed.
    QString notATemperature = QStringLiteral("« %1 » n'est pas une température.");
    // %1 the temperature.
    QString noFactor = QStringLiteral("Le bain ne donne pas de facteur de temps à %1.");
    QString conversionTemps = QStringLiteral("Conversion Temps");
    QString perDegree = QStringLiteral("facteur par degré");
    QString table = QStringLiteral("table");
    QString none = QStringLiteral("sans correction");

    static TemperatureTexts fromLanguage(const LanguageTable &language);
};

namespace TemperatureLine {
constexpr int Label = 180;
constexpr int OutsideTable = 181;
constexpr int NotATemperature = 182;
constexpr int NoFactor = 183;
constexpr int ConversionTemps = 184;
constexpr int PerDegree = 185;
constexpr int Table = 186;
constexpr int None = 187;
} // namespace TemperatureLine

// Why the bath refuses celsius: the table's range (when the temperature, or the
// process's own, is outside it), or that it gives no factor there.
QString temperatureRefusal(const TemperatureTexts &texts, const TemperatureResponse &response,
                           double celsius, double referenceCelsius, TemperatureUnit unit,
                           QChar decimalSeparator);
// "21.5 °C · 08:30 → 07:37".
QString temperatureLabel(const TemperatureTexts &texts, double celsius, TemperatureUnit unit,
                         QChar decimalSeparator, int fileSeconds, int givenSeconds);
QString temperatureModelName(const TemperatureTexts &texts, TemperatureResponse::Model model);

// A duration as the labels show it: hh:mm:ss without the hours while they are
// 0 ("08:30", "01:05:00").
QString shortTimeText(int seconds);
