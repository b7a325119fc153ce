#include "core/process/collisions.h"

#include <algorithm>
#include <span>

bool callOrder(const Call &a, const Call &b)
{
    if (a.atMs != b.atMs)
        return a.atMs < b.atMs;
    if (a.process != b.process)
        return a.process < b.process;
    return a.kind < b.kind;
}

std::vector<Collision> collisionsAmong(std::vector<Call> calls, qint64 marginMs)
{
    std::sort(calls.begin(), calls.end(), callOrder);
    return collisionsAmongSorted(calls.data(), calls.data() + calls.size(), marginMs);
}

std::vector<Collision> collisionsAmongSorted(const Call *begin, const Call *end, qint64 marginMs)
{
    const std::span<const Call> calls(begin, end);
    std::vector<Collision> out;
    const size_t n = calls.size();
    for (size_t k = 0; k < n; ++k) {
        const Call &c = calls[k];
        // The first call of another process on each side is the nearest on
        // that side (the calls are in time order); the earlier one wins a tie.
        // Stopping there keeps many calls at one moment from costing their
        // square.
        const Call *before = nullptr;
        for (size_t j = k; j-- > 0 && c.atMs - calls[j].atMs <= marginMs;)
            if (calls[j].process != c.process) {
                before = &calls[j];
                break;
            }
        const Call *after = nullptr;
        for (size_t j = k + 1; j < n && calls[j].atMs - c.atMs <= marginMs; ++j)
            if (calls[j].process != c.process) {
                after = &calls[j];
                break;
            }
        const Call *nearest = before;
        if (after && (!nearest || after->atMs - c.atMs < c.atMs - nearest->atMs))
            nearest = after;
        if (nearest)
            out.push_back({c, *nearest});
    }
    return out;
}

std::optional<qint64> delayAvoiding(const std::vector<Call> &calls, const std::vector<Call> &others,
                                    qint64 marginMs, qint64 maxDelayMs)
{
    std::vector<qint64> times;
    times.reserve(others.size());
    for (const Call &o : others)
        times.push_back(o.atMs);
    std::sort(times.begin(), times.end());
    const auto clear = [&](qint64 delay) {
        for (const Call &c : calls) {
            const qint64 at = c.atMs + delay;
            // The first other not before the margin's start must be past its end.
            const auto it = std::lower_bound(times.begin(), times.end(), at - marginMs);
            if (it != times.end() && *it <= at + marginMs)
                return false;
        }
        return true;
    };
    for (qint64 delay = 1000; delay <= maxDelayMs; delay += 1000)
        if (clear(delay))
            return delay;
    return std::nullopt;
}

QString minutesSecondsText(qint64 ms)
{
    const qint64 seconds = ms <= 0 ? 0 : (ms + 999) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString collisionText(const QString &format, const QStringList &kinds, const QString &ownName,
                      const QString &otherName, const Collision &collision, qint64 nowMs)
{
    const auto word = [&kinds](Call::Kind kind) { return kinds.value(int(kind)); };
    return format.arg(ownName, word(collision.own.kind),
                      minutesSecondsText(collision.own.atMs - nowMs), otherName,
                      word(collision.other.kind));
}
