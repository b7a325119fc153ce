#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// A moment a process will need the photographer.
struct Call
{
    enum class Kind
    {
        Agitation, // an agitation begins
        CellEnd,   // a step's time is up: drain, pour the next bath
        WaitMark,  // it stops at a wait mark
    };
    int process = 0;
    qint64 atMs = 0;
    Kind kind = Kind::CellEnd;
    bool operator==(const Call &) const = default;
};

// A call of one process and the nearest call of another within the margin.
struct Collision
{
    Call own;
    Call other;
    bool operator==(const Collision &) const = default;
};

// For every call that has one, its collision with the nearest call of another
// process within marginMs (either side), in the order of the calls.
std::vector<Collision> collisionsAmong(std::vector<Call> calls, qint64 marginMs);
// The same for calls already in callOrder.
std::vector<Collision> collisionsAmongSorted(const Call *begin, const Call *end, qint64 marginMs);
// Calls by time, then by process and kind.
bool callOrder(const Call &a, const Call &b);

// The smallest delay, in whole seconds up to maxDelayMs, by which calls
// would fall clear of every one of others by more than marginMs; none when
// no such delay is found.
std::optional<qint64> delayAvoiding(const std::vector<Call> &calls, const std::vector<Call> &others,
                                    qint64 marginMs, qint64 maxDelayMs);

// "Cuve 2 : agitation dans 0:20, en même temps que Cuve 1 : attente": format
// holds %1 to %5 (own name, own kind, time until it, other name, other kind);
// kinds are the words of the three kinds in order.
QString collisionText(const QString &format, const QStringList &kinds, const QString &ownName,
                      const QString &otherName, const Collision &collision, qint64 nowMs);

// "0:20", "12:05": minutes and seconds, a second begun counting whole.
QString minutesSecondsText(qint64 ms);
