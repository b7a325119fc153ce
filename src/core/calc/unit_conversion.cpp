#include "core/calc/unit_conversion.h"

#include "core/base/runtime_error.h"
#include "core/calc/number_text.h"

#include <array>
#include <cmath>

namespace UnitConversion {

namespace {

// One cell of a conversion table: up to three multiplications or divisions,
// applied left to right. An empty chain is the table's diagonal.
struct Step
{
    bool divide = false;
    long double by = 1;
};
struct Chain
{
    std::array<Step, 3> steps{};
    int count = 0;
};

constexpr Step M(long double by)
{
    return {false, by};
}
constexpr Step D(long double by)
{
    return {true, by};
}
template <class... Steps> constexpr Chain C(Steps... steps)
{
    static_assert(sizeof...(steps) <= 3);
    return Chain{{steps...}, int(sizeof...(steps))};
}
constexpr Chain X{};

constexpr Chain kLength[6][6] = {
    {X, C(D(10)), C(D(1000)), C(D(25.4L)), C(D(25.4L), D(12)), C(D(25.4L), D(36))},
    {C(M(10)), X, C(D(100)), C(D(2.54L)), C(D(2.54L), D(12)), C(D(2.54L), D(36))},
    {C(M(1000)), C(M(100)), X, C(D(0.0254L)), C(D(0.0254L), D(12)), C(D(0.0254L), D(36))},
    {C(M(25.4L)), C(M(2.54L)), C(M(0.0254L)), X, C(D(12)), C(D(36))},
    {C(M(25.4L), M(12)), C(M(2.54L), M(12)), C(M(0.0254L), M(12)), C(M(12)), X, C(D(3))},
    {C(M(25.4L), M(36)), C(M(2.54L), M(36)), C(M(0.0254L), M(36)), C(M(36)), C(M(3)), X},
};

// A square inch is taken as 6.452 cm².
constexpr Chain kSurface[5][5] = {
    {X, C(D(10000)), C(D(6.452L)), C(D(6.452L), D(144)), C(D(6.452L), D(1296))},
    {C(M(10000)), X, C(M(10000), D(6.452L)), C(M(10000), D(6.452L), D(144)),
     C(M(10000), D(6.452L), D(1296))},
    {C(M(6.452L)), C(M(6.452L), D(10000)), X, C(D(144)), C(D(1296))},
    {C(M(6.452L), M(144)), C(M(6.452L), M(144), D(10000)), C(M(144)), X, C(D(9))},
    {C(M(6.452L), M(1296)), C(M(6.452L), M(1296), D(10000)), C(M(1296)), C(M(9)), X},
};

// Centilitres in one UK and one US fluid ounce.
constexpr long double u = 2.8413125L;
constexpr long double s = 2.957352956L;

// Columns as rows: ml, cl, dl, l, m³, UK ounce, pint, quart, gallon, US ounce,
// pint, quart, gallon. Every UK row goes to US units through u ÷ s.
constexpr Chain kVolume[13][13] = {
    {X, C(D(10)), C(D(100)), C(D(1000)), C(D(1000000)), C(D(u), D(10)), C(D(u), D(200)),
     C(D(u), D(400)), C(D(u), D(1600)), C(D(s), D(10)), C(D(s), D(160)), C(D(s), D(320)),
     C(D(s), D(1280))},
    {C(M(10)), X, C(D(10)), C(D(100)), C(D(100000)), C(D(u)), C(D(u), D(20)), C(D(u), D(40)),
     C(D(u), D(160)), C(D(s)), C(D(s), D(16)), C(D(s), D(32)), C(D(s), D(128))},
    {C(M(100)), C(M(10)), X, C(D(10)), C(D(10000)), C(D(u), M(10)), C(D(u), D(2)), C(D(u), D(4)),
     C(D(u), D(16)), C(D(s), M(10)), C(D(s), D(1.6L)), C(D(s), D(3.2L)), C(D(s), D(12.8L))},
    {C(M(1000)), C(M(100)), C(M(10)), X, C(D(1000)), C(D(u), M(100)), C(D(u), M(100), D(20)),
     C(D(u), M(100), D(40)), C(D(u), M(100), D(160)), C(D(s), M(100)), C(D(s), M(100), D(16)),
     C(D(s), M(100), D(32)), C(D(s), M(100), D(128))},
    {C(M(1000000)), C(M(100000)), C(M(10000)), C(M(1000)), X, C(D(u), M(100000)),
     C(D(u), M(100000), D(20)), C(D(u), M(100000), D(40)), C(D(u), M(100000), D(160)),
     C(D(s), M(100000)), C(D(s), M(100000), D(16)), C(D(s), M(100000), D(32)),
     C(D(s), M(100000), D(128))},
    {C(M(u), M(10)), C(M(u)), C(M(u), D(10)), C(M(u), D(100)), C(M(u), D(100000)), X, C(D(20)),
     C(D(20), D(2)), C(D(20), D(2), D(4)), C(M(u), D(s)), C(M(u), D(s), D(16)),
     C(M(u), D(s), D(32)), C(M(u), D(s), D(128))},
    {C(M(u), M(200)), C(M(u), M(20)), C(M(u), M(2)), C(M(u), D(100), M(20)),
     C(M(u), D(100000), M(20)), C(M(20)), X, C(D(2)), C(D(2), D(4)), C(M(u), D(s), M(20)),
     C(M(u), D(s), M(1.25L)), C(M(u), D(s), D(1.6L)), C(M(u), D(s), D(6.4L))},
    {C(M(u), M(400)), C(M(u), M(40)), C(M(u), M(4)), C(M(u), D(2.5L)), C(M(u), D(2500)), C(M(40)),
     C(M(2)), X, C(D(4)), C(M(u), D(s), M(40)), C(M(u), D(s), M(2.5L)), C(M(u), D(s), M(1.25L)),
     C(M(u), D(s), D(3.2L))},
    {C(M(u), M(1600)), C(M(u), M(160)), C(M(u), M(16)), C(M(u), M(1.6L)), C(M(u), D(625)),
     C(M(160)), C(M(8)), C(M(4)), X, C(M(u), D(s), M(160)), C(M(u), D(s), M(10)),
     C(M(u), D(s), M(5)), C(M(u), D(s), M(1.25L))},
    {C(M(s), M(10)), C(M(s)), C(M(s), D(10)), C(M(s), D(100)), C(M(s), D(100000)), C(M(s), D(u)),
     C(M(s), D(u), D(20)), C(M(s), D(u), D(40)), C(M(s), D(u), D(160)), X, C(D(16)), C(D(32)),
     C(D(128))},
    {C(M(s), M(160)), C(M(s), M(16)), C(M(s), M(1.6L)), C(M(s), D(6.25L)), C(M(s), D(6250)),
     C(M(s), D(u), M(16)), C(M(s), D(u), D(1.25L)), C(M(s), D(u), D(2.5L)), C(M(s), D(u), D(10)),
     C(M(16)), X, C(D(2)), C(D(8))},
    {C(M(s), M(320)), C(M(s), M(32)), C(M(s), M(3.2L)), C(M(s), M(0.32L)), C(M(s), D(3125)),
     C(M(s), D(u), M(32)), C(M(s), D(u), M(1.6L)), C(M(s), D(u), D(1.25L)), C(M(s), D(u), D(5)),
     C(M(16), M(2)), C(M(2)), X, C(D(4))},
    {C(M(s), M(1280)), C(M(s), M(128)), C(M(s), M(12.8L)), C(M(s), M(1.28L)), C(M(s), M(0.00128L)),
     C(M(s), D(u), M(128)), C(M(s), D(u), M(6.4L)), C(M(s), D(u), M(3.2L)), C(M(s), D(u), D(1.25L)),
     C(M(128)), C(M(8)), C(M(4)), X},
};

// Grams in a grain, an avoirdupois ounce and pound; grains in an avoirdupois
// ounce (437.5008, not 437.5: the gram and grain routes are separate).
constexpr long double grain = 0.0648L;
constexpr long double ounce = 28.35L;
constexpr long double pound = 453.59L;
constexpr long double grainsPerOunce = 437.5008L;

// Columns as rows: g, kg, avoirdupois grain, ounce, pound, troy grain,
// pennyweight, troy ounce, troy pound. A troy pound is 240 pennyweights
// (5760 grains of 24).
constexpr Chain kWeight[9][9] = {
    {X, C(D(1000)), C(D(grain)), C(D(ounce)), C(D(pound)), C(D(grain)), C(D(grain), D(24)),
     C(D(grain), D(480)), C(D(grain), D(5760))},
    {C(M(1000)), X, C(D(grain), M(1000)), C(D(ounce), M(1000)), C(D(pound), M(1000)),
     C(D(grain), M(1000)), C(D(grain), D(24), M(1000)), C(D(grain), D(480), M(1000)),
     C(D(grain), D(5760), M(1000))},
    {C(M(grain)), C(M(grain), D(1000)), X, C(D(grainsPerOunce)), C(D(grainsPerOunce), D(16)),
     C(M(1)), C(D(24)), C(D(480)), C(D(5760))},
    {C(M(ounce)), C(M(ounce), D(1000)), C(M(grainsPerOunce)), X, C(D(16)), C(M(grainsPerOunce)),
     C(M(grainsPerOunce), D(24)), C(M(grainsPerOunce), D(480)), C(M(grainsPerOunce), D(5760))},
    {C(M(pound)), C(M(0.45359L)), C(M(grainsPerOunce), M(16)), C(M(16)), X,
     C(M(grainsPerOunce), M(16)), C(M(grainsPerOunce), D(1.5L)), C(M(grainsPerOunce), D(30)),
     C(M(grainsPerOunce), D(360))},
    {C(M(grain)), C(M(grain), D(1000)), C(M(1)), C(D(grainsPerOunce)), C(D(grainsPerOunce), D(16)),
     X, C(D(24)), C(D(480)), C(D(5760))},
    {C(M(grain), M(24)), C(M(grain), D(1000), M(24)), C(M(24)), C(D(grainsPerOunce), M(24)),
     C(D(grainsPerOunce), M(1.5L)), C(M(24)), X, C(D(20)), C(D(240))},
    {C(M(grain), M(480)), C(M(grain), M(0.48L)), C(M(480)), C(D(grainsPerOunce), M(480)),
     C(D(grainsPerOunce), M(30)), C(M(480)), C(M(20)), X, C(D(12))},
    {C(M(grain), M(5760)), C(M(grain), M(5.76L)), C(M(5760)), C(D(grainsPerOunce), M(5760)),
     C(D(grainsPerOunce), M(360)), C(M(5760)), C(M(240)), C(M(12)), X},
};

const Chain &chain(Group group, int from, int to)
{
    switch (group) {
    case Group::Length:
        return kLength[from][to];
    case Group::Surface:
        return kSurface[from][to];
    case Group::Volume:
        return kVolume[from][to];
    case Group::Weight:
        return kWeight[from][to];
    case Group::Temperature:
        break;
    }
    return X;
}

constexpr long double Kelvin0 = 273.15L;

long double fahrenheitOf(long double c)
{
    return checkedAdd(checkedDivide(checkedMultiply(c, 9), 5), 32);
}

// The temperature group writes °F rounded to two decimals, and computes the
// third field from the °C text it has just written.
QStringList convertTemperature(int source, QStringList texts, QChar sep)
{
    const auto read = [&](int field) { return TextToNumber(texts[field], sep); };
    switch (source) {
    case TempC:
        texts[TempF] = NumberToText(roundToHundredths(fahrenheitOf(read(TempC))), sep);
        texts[TempK] = NumberToText(checkedAdd(read(TempC), Kelvin0), sep);
        break;
    case TempF: {
        const long double c =
            checkedDivide(checkedMultiply(checkedSubtract(read(TempF), 32), 5), 9);
        texts[TempC] = NumberToText(roundToHundredths(c), sep);
        texts[TempK] = NumberToText(checkedAdd(read(TempC), Kelvin0), sep);
        break;
    }
    default:
        texts[TempC] = NumberToText(checkedSubtract(read(TempK), Kelvin0), sep);
        texts[TempF] = NumberToText(roundToHundredths(fahrenheitOf(read(TempC))), sep);
        break;
    }
    return texts;
}

} // namespace

int fieldCount(Group group)
{
    switch (group) {
    case Group::Temperature:
        return 3;
    case Group::Length:
        return 6;
    case Group::Surface:
        return 5;
    case Group::Volume:
        return 13;
    case Group::Weight:
        return 9;
    }
    return 0;
}

long double convert(Group group, int from, int to, long double x)
{
    const Chain &c = chain(group, from, to);
    for (int i = 0; i < c.count; ++i)
        x = c.steps[i].divide ? checkedDivide(x, c.steps[i].by) : checkedMultiply(x, c.steps[i].by);
    return x;
}

double roundToHundredths(long double value)
{
    const double hundredth = 0.01;
    const double d = toDouble(value);
    const long double quotient = static_cast<long double>(d) / hundredth;
    // Beyond 2^63 a double has no fraction left to round away.
    if (!(std::fabs(quotient) < 9223372036854775808.0L))
        return d;
    return toDouble(std::nearbyint(quotient) * hundredth);
}

std::optional<Result> convertFields(Group group, const QStringList &texts, QChar sep)
{
    const int n = fieldCount(group);
    Result result;
    for (int i = 0; i < n && i < texts.size(); ++i) {
        if (!texts[i].isEmpty()) {
            result.source = i;
            break;
        }
    }
    if (result.source < 0)
        return std::nullopt;
    result.texts = texts;
    while (result.texts.size() < n)
        result.texts << QString();
    if (group == Group::Temperature) {
        result.texts = convertTemperature(result.source, result.texts, sep);
        return result;
    }
    for (int to = 0; to < n; ++to) {
        if (to == result.source)
            continue;
        const long double x = TextToNumber(texts[result.source], sep);
        result.texts[to] = NumberToText(convert(group, result.source, to, x), sep);
    }
    return result;
}

} // namespace UnitConversion
