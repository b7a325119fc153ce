#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

// The conversions of the Conversion Unités page. Fields are numbered in each
// group's source order: the order in which the source is searched and the
// results are written.
namespace UnitConversion {

enum class Group
{
    Temperature,
    Length,
    Surface,
    Volume,
    Weight
};

enum Temperature
{
    TempC,
    TempF,
    TempK
};
enum Length
{
    Lengthmm,
    Lengthcm,
    Lengthm,
    LengthInches,
    LengthFeet,
    LengthYards
};
enum Surface
{
    Surfacecm,
    Surfacem,
    SurfaceInches,
    SurfaceFeet,
    SurfaceYards
};
// The UK row comes before the US row here, although it stands below it.
enum Volume
{
    Volml,
    Volcl,
    Voldl,
    Voll,
    Volm,
    VolUKOunce,
    VolUKPint,
    VolUKQuart,
    VolUKGallon,
    VolUSOunce,
    VolUSPint,
    VolUSQuart,
    VolUSGallon
};
enum Weight
{
    Weightgr,
    Weightkg,
    WeightADPGrain,
    WeightADPOunce,
    WeightADPPound,
    WeightTroyGrain,
    WeightTroyPennyweight,
    WeightTroyOunce,
    WeightTroyPound
};

int fieldCount(Group group);

// Field `from` to field `to` of a length, surface, volume or weight group: the
// value through the factor chain of that pair, applied left to right.
long double convert(Group group, int from, int to, long double x);

// Rounds to a double, then to two decimals through the double nearest 0.01.
double roundToHundredths(long double value);

struct Result
{
    int source = -1;   // the field converted from
    QStringList texts; // every field's text afterwards, the source's unchanged
};

// The Conversion click on the texts of a group's fields (in source order): the
// first non-empty field is the source, all others are rewritten. Nothing when
// every field is empty. Raises before anything is written when the source is
// not a number.
std::optional<Result> convertFields(Group group, const QStringList &texts, QChar decimalSeparator);

} // namespace UnitConversion
