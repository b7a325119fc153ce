#pragma once

#include "core/temperature/temperature.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One bottle of chemistry in use, as the steps of process files name it in
// their sixth column, and how used it is.
//
// A bath is a name and how it wears; its bottles are the mixings under that
// name, the last one the bottle in use. Mixing a fresh bottle starts a new
// count; the earlier bottles stay as history.
struct BathUse
{
    QDate date;
    int films = 1;
    bool operator==(const BathUse &) const = default;
};

struct ClearingTest
{
    QDate date;
    int seconds = 0; // until a piece of film leader clears in the bath
    bool operator==(const ClearingTest &) const = default;
};

struct BathBottle
{
    QDate mixed; // may be unknown: such a bottle never expires
    std::vector<BathUse> uses;
    std::vector<ClearingTest> tests;
    QStringList unreadLines; // lines of the file that were not understood, kept
    bool operator==(const BathBottle &) const = default;
};

struct Bath
{
    enum class Wear
    {
        // time × (1 + p/100 × films so far)
        LinearPercent,
        // time × (1 + p/100)^(films so far)
        CompoundPercent,
        // time unchanged
        FixedCapacity,
        // the fixing time is k × the last clearing time; the bath is due to be
        // discarded once a clearing time reaches twice the bottle's first
        ClearingTime
    };

    QString name;
    QString formulaFile;
    double litres = 1;
    Wear wear = Wear::FixedCapacity;
    double parameter = 0;     // p in percent a film, or k for the clearing time
    double filmsPerLitre = 0; // the capacity, with the volume; 0 for none
    int shelfLifeDays = 0;    // 0: keeps
    TemperatureResponse temperature;
    std::vector<BathBottle> bottles; // the last is the one in use
    QStringList unreadLines;

    bool operator==(const Bath &) const = default;

    // The bottle in use; nullptr before the first mixing.
    const BathBottle *bottle() const { return bottles.empty() ? nullptr : &bottles.back(); }
    // Films through the bottle in use.
    qint64 filmsSoFar() const;
    // Films the bottle takes (films per litre × volume, cut), or 0 for no limit.
    qint64 capacity() const;
};

// Whether the fields make a bath the program can work with (a name, a
// positive volume, a parameter the wear can take, a temperature model).
bool isValidBath(const Bath &bath);

enum class BathState
{
    Fresh,
    InUse,
    Exhausted,
    Expired,
    DueToBeDiscarded
};

// The state on a given day; of several, the one that matters most:
// due to be discarded, then exhausted, then expired.
BathState bathState(const Bath &bath, QDate today);
// Days since the bottle in use was mixed; nothing when that is not known.
std::optional<qint64> bathAgeDays(const Bath &bath, QDate today);

// What the next use does to a step's time: a factor on the time in the file,
// or, for a fixer with a clearing test, a fixing time of its own.
struct TimeAdjustment
{
    long double factor = 1;
    std::optional<int> fixingSeconds;
};
TimeAdjustment nextUseAdjustment(const Bath &bath);

// The step's time for the next use, cut to the whole second as the published
// tables are ("5:37.8" is 5:37). Raises "Floating point overflow" past the
// longest time a step can hold (99:59:59).
int adjustedSeconds(const Bath &bath, int fileSeconds);

// What is wrong with starting a use of `films` films on `today`; empty when
// nothing is.
struct BathProblem
{
    enum Kind
    {
        Exhausted,
        Expired,
        DueToBeDiscarded
    };
    Kind kind;
    qint64 value = 0; // films with this use, age in days, or the last clearing time
    qint64 limit = 0; // the capacity, the shelf life, or the fresh clearing time
    bool operator==(const BathProblem &) const = default;
};
std::vector<BathProblem> startProblems(const Bath &bath, int films, QDate today);

// The bath of that name (blanks around a name do not count); nullptr if none.
const Bath *findBath(const std::vector<Bath> &baths, const QString &name);
Bath *findBath(std::vector<Bath> &baths, const QString &name);
