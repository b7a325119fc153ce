#include "core/temperature/temperature_texts.h"

#include "core/app/language.h"
#include "core/process/time_text.h"

TemperatureTexts TemperatureTexts::fromLanguage(const LanguageTable &language)
{
    TemperatureTexts t;
    language.take(TemperatureLine::Label, t.label);
    language.take(TemperatureLine::OutsideTable, t.outsideTable);
    language.take(TemperatureLine::NotATemperature, t.notATemperature);
    language.take(TemperatureLine::NoFactor, t.noFactor);
    language.take(TemperatureLine::ConversionTemps, t.conversionTemps);
    language.take(TemperatureLine::PerDegree, t.perDegree);
    language.take(TemperatureLine::Table, t.table);
    language.take(TemperatureLine::None, t.none);
    return t;
}

QString temperatureRefusal(const TemperatureTexts &texts, const TemperatureResponse &response,
                           double celsius, double referenceCelsius, TemperatureUnit unit,
                           QChar decimalSeparator)
{
    const auto shown = [&](double c) { return formatTemperature(c, unit, decimalSeparator); };
    if (response.model == TemperatureResponse::Table && response.table.size() >= 2) {
        const double first = response.table.front().celsius;
        const double last = response.table.back().celsius;
        for (const double c : {celsius, referenceCelsius})
            if (!(c >= first && c <= last))
                return texts.outsideTable.arg(shown(c), shown(first), shown(last));
    }
    return texts.noFactor.arg(shown(celsius));
}

QString temperatureLabel(const TemperatureTexts &texts, double celsius, TemperatureUnit unit,
                         QChar decimalSeparator, int fileSeconds, int givenSeconds)
{
    return texts.label.arg(formatTemperature(celsius, unit, decimalSeparator),
                           shortTimeText(fileSeconds), shortTimeText(givenSeconds));
}

QString temperatureModelName(const TemperatureTexts &texts, TemperatureResponse::Model model)
{
    switch (model) {
    case TemperatureResponse::ConversionTemps:
        return texts.conversionTemps;
    case TemperatureResponse::PerDegree:
        return texts.perDegree;
    case TemperatureResponse::Table:
        return texts.table;
    case TemperatureResponse::None:
        return texts.none;
    }
    return QString();
}

QString shortTimeText(int seconds)
{
    const QString text = SecondsToTimeText(seconds);
    if (seconds >= 0 && seconds < 3600)
        return text.mid(3);
    return text;
}
