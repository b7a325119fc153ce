#include "core/baths/bath.h"

#include "core/base/runtime_error.h"

#include <cmath>

namespace {

// The longest time a step's time text reads back (99:59:59).
constexpr long double kLongestStep = 359999;

// The bottle's first clearing time and its last, when it has been tested.
std::optional<std::pair<int, int>> clearingTimes(const Bath &bath)
{
    const BathBottle *b = bath.bottle();
    if (!b || b->tests.empty())
        return std::nullopt;
    return std::make_pair(b->tests.front().seconds, b->tests.back().seconds);
}

bool dueToBeDiscarded(const Bath &bath)
{
    if (bath.wear != Bath::Wear::ClearingTime)
        return false;
    const auto times = clearingTimes(bath);
    return times && times->first > 0 && times->second >= qint64(2) * times->first;
}

bool expired(const Bath &bath, QDate today)
{
    const std::optional<qint64> age = bathAgeDays(bath, today);
    return bath.shelfLifeDays > 0 && age && *age > bath.shelfLifeDays;
}

} // namespace

qint64 Bath::filmsSoFar() const
{
    qint64 n = 0;
    if (const BathBottle *b = bottle())
        for (const BathUse &u : b->uses)
            n += u.films;
    return n;
}

qint64 Bath::capacity() const
{
    if (!(filmsPerLitre > 0) || !(litres > 0))
        return 0;
    // 24 films a litre in 0.5 l is 12 films, not 11.999...
    const long double films = static_cast<long double>(filmsPerLitre) * litres + 1e-9L;
    return films >= 1e15L ? qint64(1e15) : static_cast<qint64>(std::floor(films));
}

bool isValidBath(const Bath &bath)
{
    if (bath.name.trimmed().isEmpty() || !(bath.litres > 0) || !(bath.filmsPerLitre >= 0) ||
        bath.shelfLifeDays < 0 || !bath.temperature.isValid())
        return false;
    switch (bath.wear) {
    case Bath::Wear::LinearPercent:
    case Bath::Wear::CompoundPercent:
        return bath.parameter >= 0 && bath.parameter <= 1000;
    case Bath::Wear::FixedCapacity:
        return true;
    case Bath::Wear::ClearingTime:
        return bath.parameter > 0 && bath.parameter <= 100;
    }
    return false;
}

std::optional<qint64> bathAgeDays(const Bath &bath, QDate today)
{
    const BathBottle *b = bath.bottle();
    if (!b || !b->mixed.isValid() || !today.isValid())
        return std::nullopt;
    return b->mixed.daysTo(today);
}

BathState bathState(const Bath &bath, QDate today)
{
    if (dueToBeDiscarded(bath))
        return BathState::DueToBeDiscarded;
    const qint64 cap = bath.capacity();
    if (cap > 0 && bath.filmsSoFar() >= cap)
        return BathState::Exhausted;
    if (expired(bath, today))
        return BathState::Expired;
    const BathBottle *b = bath.bottle();
    // A fixer tested when mixed, to know its fresh clearing time, is still fresh.
    if (b && !b->uses.empty())
        return BathState::InUse;
    return BathState::Fresh;
}

TimeAdjustment nextUseAdjustment(const Bath &bath)
{
    TimeAdjustment a;
    const long double p = static_cast<long double>(bath.parameter) / 100;
    const long double films = static_cast<long double>(bath.filmsSoFar());
    switch (bath.wear) {
    case Bath::Wear::LinearPercent:
        a.factor = 1 + p * films;
        break;
    case Bath::Wear::CompoundPercent:
        a.factor = std::pow(1 + p, films);
        break;
    case Bath::Wear::FixedCapacity:
        break;
    case Bath::Wear::ClearingTime:
        if (const auto times = clearingTimes(bath)) {
            const long double fix = static_cast<long double>(bath.parameter) * times->second;
            if (!(fix <= kLongestStep))
                throw RuntimeError::overflow();
            a.fixingSeconds = static_cast<int>(std::floor(std::nearbyint(fix * 1000) / 1000));
        }
        break;
    }
    return a;
}

int adjustedSeconds(const Bath &bath, int fileSeconds)
{
    const TimeAdjustment a = nextUseAdjustment(bath);
    if (a.fixingSeconds)
        return *a.fixingSeconds;
    if (fileSeconds == 0)
        return 0;
    const long double seconds = a.factor * fileSeconds;
    if (!(std::fabs(seconds) <= kLongestStep))
        throw RuntimeError::overflow();
    // To the millisecond first: 600 × 0.9 must be 540, not 539.999...
    return static_cast<int>(std::floor(std::nearbyint(seconds * 1000) / 1000));
}

std::vector<BathProblem> startProblems(const Bath &bath, int films, QDate today)
{
    std::vector<BathProblem> out;
    if (dueToBeDiscarded(bath)) {
        const auto times = clearingTimes(bath);
        out.push_back({BathProblem::DueToBeDiscarded, times->second, times->first});
    }
    const qint64 cap = bath.capacity();
    const qint64 withThis = bath.filmsSoFar() + std::max(films, 0);
    if (cap > 0 && withThis > cap)
        out.push_back({BathProblem::Exhausted, withThis, cap});
    if (expired(bath, today))
        out.push_back({BathProblem::Expired, *bathAgeDays(bath, today), bath.shelfLifeDays});
    return out;
}

const Bath *findBath(const std::vector<Bath> &baths, const QString &name)
{
    const QString key = name.trimmed();
    if (key.isEmpty())
        return nullptr;
    for (const Bath &b : baths)
        if (b.name == key)
            return &b;
    return nullptr;
}

Bath *findBath(std::vector<Bath> &baths, const QString &name)
{
    return const_cast<Bath *>(findBath(std::as_const(baths), name));
}
