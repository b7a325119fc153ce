// baths.txt: every line reads or is reported by its line and kept, what the
// save writes reads back to the same baths, and no bath's curves ever give a
// time out of range, a factor that is not finite, or a table that does not
// go through its own points.
#include "core/baths/bath_texts.h"
#include "core/baths/baths_file.h"
#include "core/temperature/compensating_timer.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cmath>

namespace {

void checkCurves(const Bath &bath)
{
    for (const int seconds : {0, 1, 510, 359999}) {
        try {
            const int t = adjustedSeconds(bath, seconds);
            FUZZ_CHECK(t >= 0 && t <= 359999);
        } catch (const RuntimeError &e) {
            FUZZ_CHECK(e.message() == RuntimeError::overflow().message());
        }
    }
    (void)bathState(bath, QDate(2025, 12, 9));
    try {
        (void)startQuestion(BathTexts(), bath, 1, QDate(2025, 12, 9));
    } catch (const RuntimeError &) {
    }

    const TemperatureResponse &r = bath.temperature;
    FUZZ_CHECK(r.isValid());
    for (double c = MinCelsius; c <= MaxCelsius; c += 0.5) {
        const std::optional<long double> f = r.factor(c, 20);
        if (f)
            FUZZ_CHECK(std::isfinite(static_cast<double>(*f)) && *f >= 1 / MaxTimeFactor &&
                       *f <= MaxTimeFactor);
    }
    if (r.model == TemperatureResponse::Table) {
        for (size_t i = 0; i < r.table.size(); ++i) {
            const std::optional<long double> at = r.tableFactor(r.table[i].celsius);
            FUZZ_CHECK(at && *at == static_cast<long double>(r.table[i].factor));
            if (i + 1 < r.table.size()) {
                const double mid = (r.table[i].celsius + r.table[i + 1].celsius) / 2;
                const std::optional<long double> m = r.tableFactor(mid);
                const double lo = std::min(r.table[i].factor, r.table[i + 1].factor);
                const double hi = std::max(r.table[i].factor, r.table[i + 1].factor);
                FUZZ_CHECK(m && *m >= lo * (1 - 1e-12) && *m <= hi * (1 + 1e-12));
            }
        }
        FUZZ_CHECK(!r.tableFactor(r.table.front().celsius - 1));
        FUZZ_CHECK(!r.tableFactor(r.table.back().celsius + 1));
    }
    // A step read at a few temperatures: the end and what is left agree.
    CompensatingTimer timer(r, 20);
    timer.start(600000, 0);
    qint64 at = 0;
    for (const double c : {18.0, 22.0, 20.5, 30.0, 10.0}) {
        at += 37000;
        timer.reading(at, c);
        const qint64 left = timer.remainingMs(at);
        FUZZ_CHECK(left >= 0 && std::llabs(left - std::max<qint64>(0, timer.endMs() - at)) <= 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = fuzz::readLines(fuzz::bytes(data, size));
    const BathsRead read = parseBathLines(lines, QStringLiteral("baths.txt"));
    qsizetype kept = read.file.strayLines.size();
    for (const Bath &b : read.file.baths) {
        kept += b.unreadLines.size();
        for (const BathBottle &bottle : b.bottles)
            kept += bottle.unreadLines.size();
    }
    // A line kept is a line reported; a bath without a name or with a taken
    // one is reported too.
    FUZZ_CHECK(kept <= read.problems.size());
    for (const QString &p : read.problems)
        FUZZ_CHECK(p.startsWith(QLatin1String("\"baths.txt\": line ")));

    const BathsRead back =
        parseBathLines(fuzz::writeAndRead(bathLines(read.file)), QStringLiteral("baths.txt"));
    // A field is written on one line: a TAB or a lone CR in it becomes a space,
    // so such a file reads back as its one-line form, which then holds.
    const bool oneLined = std::any_of(lines.begin(), lines.end(), [](const QString &l) {
        return l.contains(QLatin1Char('\t')) || l.contains(QLatin1Char('\r'));
    });
    if (!oneLined) {
        FUZZ_CHECK(back.file == read.file);
        FUZZ_CHECK(back.problems.size() == read.problems.size());
    }
    const BathsRead again =
        parseBathLines(fuzz::writeAndRead(bathLines(back.file)), QStringLiteral("baths.txt"));
    FUZZ_CHECK(again.file == back.file);

    for (const Bath &b : read.file.baths)
        if (isValidBath(b))
            checkCurves(b);
    return 0;
}
