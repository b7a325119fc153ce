#include "core/process/collisions.h"

#include <algorithm>

std::vector<Collision> collisionsAmong(std::vector<Call> calls, qint64 marginMs)
{
    std::sort(calls.begin(), calls.end(), [](const Call &a, const Call &b) {
        return a.atMs < b.atMs || (a.atMs == b.atMs && a.process < b.process);
    });
    std::vector<Collision> out;
    const auto n = static_cast<qsizetype>(calls.size());
    for (qsizetype k = 0; k < n; ++k) {
        const Call &c = calls[static_cast<size_t>(k)];
        const Call *nearest = nullptr;
        const auto consider = [&](const Call &o) {
            if (o.process != c.process &&
                (!nearest || std::abs(o.atMs - c.atMs) < std::abs(nearest->atMs - c.atMs)))
                nearest = &o;
        };
        // Outwards from the call while within the margin: the nearest other.
        for (qsizetype j = k - 1; j >= 0 && c.atMs - calls[static_cast<size_t>(j)].atMs <= marginMs;
             --j)
            consider(calls[static_cast<size_t>(j)]);
        for (qsizetype j = k + 1; j < n && calls[static_cast<size_t>(j)].atMs - c.atMs <= marginMs;
             ++j)
            consider(calls[static_cast<size_t>(j)]);
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
